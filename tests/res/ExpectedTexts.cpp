#include "ExpectedTexts.h"

#include "res/Maker.h"
#include "res/resource.h"

#include <map>
#include <utility>

namespace {

constexpr WORD kEnglish = 0x0409;
constexpr WORD kJapanese = 0x0411;
constexpr WORD kGerman = 0x0007;
constexpr WORD kSpanish = 0x000A;
constexpr WORD kFrench = 0x000C;
constexpr WORD kItalian = 0x0010;
constexpr WORD kDutch = 0x0013;
constexpr WORD kPortuguese = 0x0016;

const wchar_t kCopyright[] = QS_WIDEN(QS_COPYRIGHT_NOTICE) L".";

using Table = std::map<std::pair<WORD, UINT>, const wchar_t*>;

void Add(Table& table, UINT id, std::initializer_list<std::pair<WORD, const wchar_t*>> texts) {
    for (const auto& [language, text] : texts) table[{language, id}] = text;
}

Table MakeTable() {
    Table t;
    Add(t, IDS_STR_TITLE, {
        {kEnglish, L"__MODEL__ Driver Settings"},
        {kJapanese, L"__MODEL__ Driver の設定"},
        {kGerman, L"__MODEL__ Treibereinstellungen"},
        {kSpanish, L"__MODEL__ Configuración del controlador"},
        {kFrench, L"__MODEL__ Paramètres du pilote"},
        {kItalian, L"__MODEL__ Impostazioni del driver"},
        {kDutch, L"__MODEL__ Stuurprogramma-instellingen"},
        {kPortuguese, L"__MODEL__ Configurações do Driver"}});
    Add(t, IDS_CONF_WAVE, {
        {kEnglish, L"Device currently used by another application.\nTo have settings take effect, "
                   L"quit all such applications, then restart the application."},
        {kJapanese, L"本機器を使用しているアプリケーションがあります。\n設定を有効にするには、"
                    L"本機器を使用している全てのアプリケーションを終了してから、"
                    L"アプリケーションを起動してください。"},
        {kGerman, L"Gerät wird zur Zeit von einer anderen Anwendung verwendet.\nDamit die "
                  L"Änderungen wirksam werden, beenden Sie sämtliche Anwendungen und starten die "
                  L"Anwendung neu."},
        {kSpanish, L"Otra aplicación está utilizando el dispositivo.\nPara que la configuración "
                   L"surta efecto, cierre todas las aplicaciones y reinicie la aplicación."},
        {kFrench, L"Le périphérique est actuellement utilisé par une autre application.\nPour "
                  L"faire appliquer ces réglages, quittez toutes les autres applications, puis "
                  L"redémarrez celle-ci."},
        {kItalian, L"Dispositivo correntemente utilizzato da un'altra applicazione.\nPer rendere "
                   L"effettive le impostazioni, chiudere tutte le applicazioni e riavviare "
                   L"l'applicazione."},
        {kDutch, L"Apparaat wordt momenteel gebruikt door een andere toepassing.\nSluit alle "
                 L"toepassingen en start vervolgens de toepassing opnieuw op zodat de "
                 L"instellingen worden doorgevoerd."},
        // Portuguese alone has a blank, not a line break, after the first sentence.
        {kPortuguese, L"Dispositivo usado atualmente por outro aplicativo. Para que as "
                      L"configurações entrem em vigor, saia de todos esses aplicativos e reinicie "
                      L"o aplicativo."}});
    Add(t, IDS_CONF_MIDI, {
        {kEnglish, L"To have settings changes take effect, switch the power off, then on again."},
        {kJapanese, L"設定を反映するには本機器の電源を入れ直してください。"},
        {kGerman, L"Damit die Änderungen wirksam werden, schalten Sie das Gerät aus und wieder "
                  L"ein."},
        {kSpanish, L"Para que los cambios surtan efecto, desactive el dispositivo y actívelo otra "
                   L"vez."},
        {kFrench, L"Pour appliquer les modifications de réglages, mettez l\u2019unité hors "
                  L"tension, puis sous tension à nouveau."},
        {kItalian, L"Per rendere effettive le modifiche delle impostazioni, spegnere e "
                   L"riaccendere."},
        {kDutch, L"De wijzigingen van de instellingen worden pas doorgevoerd nadat u de stroom "
                 L"hebt uitgeschakeld en vervolgens opnieuw hebt ingeschakeld."},
        {kPortuguese, L"Para que as alterações feitas na configuração entrem em vigor, desligue "
                      L"a energia e ligue-a novamente."}});
    Add(t, IDS_PROP_VER, {
        {kEnglish, L"__MODEL__ Driver __VERSION__"},
        {kJapanese, L"__MODEL__ Driver __VERSION__"},
        {kGerman, L"__MODEL__-Treiber __VERSION__"},
        {kSpanish, L"Controlador __MODEL__ __VERSION__"},
        {kFrench, L"Pilote __MODEL__ __VERSION__"},
        {kItalian, L"__MODEL__ Driver __VERSION__"},
        {kDutch, L"__MODEL__ Stuurprogramma __VERSION__"},
        {kPortuguese, L"__MODEL__ Driver __VERSION__"}});
    Add(t, IDS_PROP_COPYR, {
        {kEnglish, kCopyright}, {kJapanese, kCopyright}, {kGerman, kCopyright},
        {kSpanish, kCopyright}, {kFrench, kCopyright}, {kItalian, kCopyright},
        {kDutch, kCopyright}, {kPortuguese, kCopyright}});
    Add(t, IDS_README_NAME, {
        {kEnglish, L"Readme\\Readme_EN.htm"},
        {kJapanese, L"Readme\\Readme_JP.htm"},
        {kGerman, L"Readme\\Readme_DE.htm"},
        {kSpanish, L"Readme\\Readme_ES.htm"},
        {kFrench, L"Readme\\Readme_FR.htm"},
        {kItalian, L"Readme\\Readme_IT.htm"},
        {kDutch, L"Readme\\Readme_NL.htm"},
        {kPortuguese, L"Readme\\Readme_PT.htm"}});
    Add(t, IDS_MSG_NODEV, {
        {kEnglish, L"To make settings, connect the device and then execute once again."},
        {kJapanese, L"設定を行う場合は、機器を接続してから再度実行してください。"},
        {kGerman, L"Um Einstellungen vorzunehmen, schließen Sie das Gerät an und führen das "
                  L"Programm erneut aus."},
        {kSpanish, L"Para configurar las opciones de funcionamiento, conecte el dispositivo y, a "
                   L"continuación, ejecútelo otra vez."},
        {kFrench, L"Pour effectuer les réglages, connectez le périphérique, puis lancez "
                  L"l'exécution une nouvelle fois."},
        {kItalian, L"Per effettuare le impostazioni, collegare il dispositivo e rieseguirlo."},
        {kDutch, L"Sluit het apparaat aan en voer vervolgens opnieuw uit om instellingen aan te "
                 L"maken."},
        {kPortuguese, L"Para fazer ajustes, conecte o dispositivo e execute-o mais uma vez."}});
    Add(t, IDS_GRP_MIDI_IN_TYPE, {
        {kEnglish, L"MIDI IN Setting"},
        {kJapanese, L"MIDI入力の設定"},
        {kGerman, L"MIDI-IN-Einstellung"},
        {kSpanish, L"Configuración de MIDI IN"},
        {kFrench, L"Réglage ENTRÉE MIDI"},
        {kItalian, L"Impostazione MIDI IN"},
        {kDutch, L"MIDI IN-instelling"},
        {kPortuguese, L"Configuração MIDI IN"}});
    Add(t, IDS_BN_MIDI_IN_TYPE, {
        {kEnglish, L"Light Load"},
        {kJapanese, L"コンピュータ負荷を軽く"},
        {kGerman, L"Leichte Last"},
        {kSpanish, L"Carga ligera"},
        {kFrench, L"Charge légère"},
        {kItalian, L"Carico leggero"},
        {kDutch, L"Light Load"},
        {kPortuguese, L"Economizador de Energia"}});
    Add(t, IDS_OK, {
        {kEnglish, L"OK"}, {kJapanese, L"OK"}, {kGerman, L"OK"}, {kSpanish, L"Aceptar"},
        {kFrench, L"OK"}, {kItalian, L"OK"}, {kDutch, L"OK"}, {kPortuguese, L"OK"}});
    Add(t, IDS_CANCEL, {
        {kEnglish, L"Cancel"},
        {kJapanese, L"キャンセル"},
        {kGerman, L"Abbrechen"},
        {kSpanish, L"Cancelar"},
        {kFrench, L"Annuler"},
        {kItalian, L"Annulla"},
        {kDutch, L"Annuleren"},
        {kPortuguese, L"Cancelar"}});
    Add(t, IDS_README, {
        {kEnglish, L"Show \"README\""},
        {kJapanese, L"READMEを表示"},
        {kGerman, L"\"README\" anzeigen"},
        {kSpanish, L"Mostrar \"Léame\""},
        {kFrench, L"Afficher \"Lisezmoi\""},
        {kItalian, L"Mostra \"Leggimi\""},
        {kDutch, L"Toon \"README\""},
        {kPortuguese, L"Mostrar \"Leiame\""}});
    Add(t, IDS_APP_TITLE, {
        {kEnglish, L" "}, {kJapanese, L" "}, {kGerman, L" "}, {kSpanish, L" "},
        {kFrench, L" "}, {kItalian, L" "}, {kDutch, L" "}, {kPortuguese, L" "}});
    return t;
}

const Table& Texts() {
    static const Table table = MakeTable();
    return table;
}

}  // namespace

const std::vector<LanguageTable>& CarriedLanguages() {
    static const std::vector<LanguageTable> languages = {
        {kEnglish, "English (United States)"}, {kJapanese, "Japanese (Japan)"},
        {kGerman, "German"}, {kSpanish, "Spanish"}, {kFrench, "French"},
        {kItalian, "Italian"}, {kDutch, "Dutch"}, {kPortuguese, "Portuguese"}};
    return languages;
}

const std::vector<UINT>& UsedIdentifiers() {
    static const std::vector<UINT> ids = {
        IDS_STR_TITLE, IDS_CONF_WAVE, IDS_CONF_MIDI, IDS_PROP_VER, IDS_PROP_COPYR,
        IDS_README_NAME, IDS_MSG_NODEV, IDS_GRP_MIDI_IN_TYPE, IDS_BN_MIDI_IN_TYPE, IDS_OK,
        IDS_CANCEL, IDS_README, IDS_APP_TITLE};
    return ids;
}

const wchar_t* ExpectedText(WORD language, UINT id) {
    const auto found = Texts().find({language, id});
    return found == Texts().end() ? nullptr : found->second;
}

// The two dialog templates, read back from the built resources and compared field by field.
#include "ResourceModule.h"

#include "res/Maker.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {

struct Control {
    DWORD helpId, exStyle, style;
    short x, y, cx, cy;
    DWORD id;
    std::wstring windowClass, text;
    WORD extraCount;
};

struct Template {
    WORD version, signature;
    DWORD helpId, exStyle, style;
    short x, y, cx, cy;
    std::wstring menu, windowClass, title;
    WORD pointSize, weight;
    BYTE italic, charset;
    std::wstring typeface;
    std::vector<Control> controls;
};

class Reader {
public:
    explicit Reader(ResourceBytes bytes) : bytes_(bytes) {}
    bool ok() const { return ok_; }
    size_t offset() const { return offset_; }
    template <typename T> T Read() {
        T value{};
        if (offset_ + sizeof value > bytes_.size) {
            ok_ = false;
            return value;
        }
        std::memcpy(&value, bytes_.data + offset_, sizeof value);
        offset_ += sizeof value;
        return value;
    }
    std::wstring String() {
        std::wstring text;
        for (wchar_t c = Read<wchar_t>(); ok_ && c != 0; c = Read<wchar_t>()) text += c;
        return text;
    }
    // A name or an ordinal; an ordinal of a predefined class comes back as its class name.
    std::wstring NameOrOrdinal() {
        const WORD first = Read<WORD>();
        if (first == 0) return L"";
        if (first == 0xFFFF) {
            const WORD ordinal = Read<WORD>();
            switch (ordinal) {
            case 0x0080: return L"BUTTON";
            case 0x0082: return L"STATIC";
            default: return L"#" + std::to_wstring(ordinal);
            }
        }
        offset_ -= sizeof(WORD);
        return String();
    }
    void AlignToDword() { offset_ = (offset_ + 3) & ~size_t{3}; }
    void Skip(size_t n) { offset_ += n; }

private:
    ResourceBytes bytes_;
    size_t offset_ = 0;
    bool ok_ = true;
};

std::optional<Template> ReadTemplate(WORD number) {
    const ResourceBytes bytes = FindResourceBytes(RT_DIALOG, number, 0);
    if (!bytes) return std::nullopt;
    Reader r(bytes);
    Template t{};
    t.version = r.Read<WORD>();
    t.signature = r.Read<WORD>();
    t.helpId = r.Read<DWORD>();
    t.exStyle = r.Read<DWORD>();
    t.style = r.Read<DWORD>();
    const WORD count = r.Read<WORD>();
    t.x = r.Read<short>();
    t.y = r.Read<short>();
    t.cx = r.Read<short>();
    t.cy = r.Read<short>();
    t.menu = r.NameOrOrdinal();
    t.windowClass = r.NameOrOrdinal();
    t.title = r.String();
    if (t.style & DS_SETFONT) {
        t.pointSize = r.Read<WORD>();
        t.weight = r.Read<WORD>();
        t.italic = r.Read<BYTE>();
        t.charset = r.Read<BYTE>();
        t.typeface = r.String();
    }
    for (WORD i = 0; i < count && r.ok(); ++i) {
        r.AlignToDword();
        Control c{};
        c.helpId = r.Read<DWORD>();
        c.exStyle = r.Read<DWORD>();
        c.style = r.Read<DWORD>();
        c.x = r.Read<short>();
        c.y = r.Read<short>();
        c.cx = r.Read<short>();
        c.cy = r.Read<short>();
        c.id = r.Read<DWORD>();
        c.windowClass = r.NameOrOrdinal();
        c.text = r.NameOrOrdinal();
        c.extraCount = r.Read<WORD>();
        r.Skip(c.extraCount);
        t.controls.push_back(c);
    }
    if (!r.ok() || r.offset() > bytes.size) return std::nullopt;
    return t;
}

struct ExpectedControl {
    DWORD id;
    const wchar_t* windowClass;
    const wchar_t* text;
    DWORD style;
    short x, y, cx, cy;
};

void ExpectControls(const Template& t, const std::vector<ExpectedControl>& expected) {
    ASSERT_EQ(t.controls.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const Control& c = t.controls[i];
        const ExpectedControl& e = expected[i];
        SCOPED_TRACE("control " + std::to_string(i + 1) + ", id " + std::to_string(e.id));
        EXPECT_EQ(c.id, e.id);
        EXPECT_EQ(c.windowClass, e.windowClass);
        EXPECT_EQ(c.text, e.text);
        EXPECT_EQ(c.style, e.style);
        EXPECT_EQ(c.x, e.x);
        EXPECT_EQ(c.y, e.y);
        EXPECT_EQ(c.cx, e.cx);
        EXPECT_EQ(c.cy, e.cy);
        EXPECT_EQ(c.exStyle, 0u);
        EXPECT_EQ(c.helpId, 0u);
        EXPECT_EQ(c.extraCount, 0);
    }
}

TEST(DialogTemplates, OnlyTheTwoTemplatesExistAndOnlyUnderTheNeutralLanguage) {
    EXPECT_EQ(NumbersOf(RT_DIALOG), (std::vector<WORD>{IDD_QUILLSET_DIALOG, IDD_NODEV_DIALOG}));
    EXPECT_EQ(LanguagesOf(RT_DIALOG, IDD_QUILLSET_DIALOG), std::vector<WORD>{0});
    EXPECT_EQ(LanguagesOf(RT_DIALOG, IDD_NODEV_DIALOG), std::vector<WORD>{0});
}

TEST(DialogTemplates, MainSettingsDialog) {
    const auto t = ReadTemplate(IDD_QUILLSET_DIALOG);
    ASSERT_TRUE(t);
    EXPECT_EQ(t->version, 1);
    EXPECT_EQ(t->signature, 0xFFFF);
    EXPECT_EQ(t->helpId, 0u);
    EXPECT_EQ(t->style, 0x90C000C8u);
    EXPECT_EQ(t->style & WS_SYSMENU, 0u);
    EXPECT_EQ(t->exStyle, 0x00040000u);
    EXPECT_EQ(t->x, 0);
    EXPECT_EQ(t->y, 0);
    EXPECT_EQ(t->cx, 196);
    EXPECT_EQ(t->cy, 110);
    EXPECT_EQ(t->menu, L"");
    EXPECT_EQ(t->windowClass, L"");
    EXPECT_EQ(t->title, L"");
    EXPECT_EQ(t->pointSize, 8);
    EXPECT_EQ(t->weight, 0);
    EXPECT_EQ(t->italic, 0);
    EXPECT_EQ(t->charset, 1);
    EXPECT_EQ(t->typeface, L"MS Shell Dlg");
    ExpectControls(*t, {
        {1041, L"BUTTON", L"MIDI IN Setting", 0x50000007, 24, 6, 150, 30},
        {1000, L"BUTTON", L"Light Load", 0x50010003, 36, 18, 126, 10},
        {1033, L"STATIC", L"__MODEL__ Driver Ver.x.x.x", 0x50020001, 12, 60, 174, 8},
        {1032, L"STATIC", QS_WIDEN(QS_COPYRIGHT_NOTICE), 0x50020001, 12, 72, 174, 8},
        {1, L"BUTTON", L"OK", 0x50010001, 24, 90, 60, 14},
        {2, L"BUTTON", L"Cancel", 0x50010000, 114, 90, 60, 14},
        {1035, L"BUTTON", L"Show \"README\"", 0x50010000, 54, 42, 90, 14},
    });
}

TEST(DialogTemplates, DeviceNotConnectedDialog) {
    const auto t = ReadTemplate(IDD_NODEV_DIALOG);
    ASSERT_TRUE(t);
    EXPECT_EQ(t->version, 1);
    EXPECT_EQ(t->signature, 0xFFFF);
    EXPECT_EQ(t->helpId, 0u);
    EXPECT_EQ(t->style, 0x80C000C8u);
    EXPECT_EQ(t->style & (WS_SYSMENU | WS_VISIBLE), 0u);
    EXPECT_EQ(t->exStyle, 0u);
    EXPECT_EQ(t->x, 0);
    EXPECT_EQ(t->y, 0);
    EXPECT_EQ(t->cx, 196);
    EXPECT_EQ(t->cy, 57);
    EXPECT_EQ(t->menu, L"");
    EXPECT_EQ(t->windowClass, L"");
    EXPECT_EQ(t->title, L"__MODEL__ Driver Settings");
    EXPECT_EQ(t->pointSize, 8);
    EXPECT_EQ(t->weight, 400);
    EXPECT_EQ(t->italic, 0);
    EXPECT_EQ(t->charset, 128);
    EXPECT_EQ(t->typeface, L"MS Shell Dlg");
    ExpectControls(*t, {
        {1, L"BUTTON", L"OK", 0x50010001, 126, 36, 54, 14},
        {1043, L"STATIC",
         L"To make settings, connect the device and then execute once again.", 0x50020000,
         12, 6, 174, 24},
        {1035, L"BUTTON", L"Show \"README\"", 0x50010000, 18, 36, 90, 14},
    });
}

}  // namespace

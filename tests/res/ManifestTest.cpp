// The application manifest, read back from the built resources.
#include "ResourceModule.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

namespace {

constexpr WORD kManifestLanguage = 0x0409;

std::string ManifestText() {
    const ResourceBytes bytes = FindResourceBytes(RT_MANIFEST, 1, kManifestLanguage);
    if (!bytes) return {};
    return std::string(reinterpret_cast<const char*>(bytes.data), bytes.size);
}

// The start tags in document order, each as its name followed by its attributes.
std::vector<std::string> StartTags(const std::string& xml) {
    std::vector<std::string> tags;
    const std::regex tag(R"(<([A-Za-z][^\s/>]*)((?:\s+[^\s=]+="[^"]*")*)\s*/?>)");
    for (auto it = std::sregex_iterator(xml.begin(), xml.end(), tag); it != std::sregex_iterator();
         ++it) {
        std::string attributes = (*it)[2];
        attributes = std::regex_replace(attributes, std::regex(R"(\s+)"), " ");
        tags.push_back((*it)[1].str() + attributes);
    }
    return tags;
}

TEST(Manifest, IsResourceOneUnderEnglishUnitedStatesOnly) {
    EXPECT_EQ(NumbersOf(RT_MANIFEST), std::vector<WORD>{1});
    EXPECT_EQ(LanguagesOf(RT_MANIFEST, 1), std::vector<WORD>{kManifestLanguage});
}

TEST(Manifest, IsUtf8WithAByteOrderMark) {
    const std::string xml = ManifestText();
    ASSERT_GE(xml.size(), 3u);
    EXPECT_EQ(xml.substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_EQ(xml.find("<?xml version=\"1.0\" encoding=\"UTF-8\""), 3u);
}

TEST(Manifest, ElementsComeInTheirOrderWithTheirValues) {
    const std::vector<std::string> expected = {
        R"(assembly xmlns="urn:schemas-microsoft-com:asm.v1" manifestVersion="1.0")",
        "dependency",
        "dependentAssembly",
        R"(assemblyIdentity type="win32" name="Microsoft.Windows.Common-Controls" )"
        R"(version="6.0.0.0" processorArchitecture="amd64" publicKeyToken="6595b64144ccf1df" )"
        R"(language="*")",
        R"(trustInfo xmlns="urn:schemas-microsoft-com:asm.v3")",
        "security",
        "requestedPrivileges",
        R"(requestedExecutionLevel level="asInvoker" uiAccess="false")",
        R"(application xmlns="urn:schemas-microsoft-com:asm.v3")",
        "windowsSettings",
        R"(dpiAware xmlns="http://schemas.microsoft.com/SMI/2005/WindowsSettings")",
        R"(compatibility xmlns="urn:schemas-microsoft-com:compatibility.v1")",
        "application",
        R"(supportedOS Id="{e2011457-1546-43c5-a5fe-008deee3d3f0}")",
        R"(supportedOS Id="{35138b9a-5d96-4fbd-8e2d-a2440225f93a}")",
        R"(supportedOS Id="{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}")",
        R"(supportedOS Id="{1f676c76-80e1-4239-95bb-83d0f6d0da78}")",
        R"(supportedOS Id="{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}")",
    };
    EXPECT_EQ(StartTags(ManifestText()), expected);
}

TEST(Manifest, DeclaresSystemDpiAwareness) {
    const std::string xml = ManifestText();
    EXPECT_TRUE(std::regex_search(
        xml, std::regex(R"(<dpiAware xmlns="http://schemas.microsoft.com/SMI/2005/)"
                        R"(WindowsSettings">true</dpiAware>)")));
}

}  // namespace

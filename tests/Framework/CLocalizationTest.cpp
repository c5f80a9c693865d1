#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "CLocalization.h"
#include "InstalledDevice.h"
#include "LocalizationKeys.h"

namespace {

using framework::test::InstalledDevice;

std::u16string Text(const CLocalization& localization, const char* key, int size = 1024) {
    std::u16string buffer(static_cast<size_t>(size), u'?');
    if (!localization.GetString(key, buffer.data(), size)) {
        EXPECT_EQ(buffer[0], u'\0') << key << ": the buffer is emptied when the key is absent";
        return u"<absent>";
    }
    return std::u16string(buffer.c_str());
}

std::u16string Template(const CLocalization& localization, const char* key) {
    WCHAR buffer[256];
    return localization.GetTemplate(key, buffer, 256) ? std::u16string(buffer) : u"<absent>";
}

std::map<std::string, std::u16string> Parse(std::u16string_view content) {
    std::map<std::string, std::u16string> texts;
    CLocalization::ParseFile(content, &texts);
    return texts;
}

TEST(CLocalizationFile, MarkAndLineEndsDoNotChangeTheTexts) {
    const auto plain = Parse(u"IDS_A\tfirst\nIDS_B\tsecond\n");
    EXPECT_EQ(Parse(u"\uFEFFIDS_A\tfirst\r\nIDS_B\tsecond\r\n"), plain);
    EXPECT_EQ(Parse(u"IDS_A\tfirst\n\uFEFFIDS_B\tsecond"), plain) << "a mark is dropped at any line start";
    EXPECT_EQ(plain.at("IDS_B"), u"second");
}

TEST(CLocalizationFile, KeyTabsAndValueFollowTheLineRules) {
    const auto texts = Parse(
        u"IDS_TABS\t\ta\\tb\n"           // tabs after the first are skipped; \t unescapes
        u"IDS_CUT\ta\tb\n"                // the value ends at the next tab
        u"IDS_GAP x\tv\n"                 // anything between key and tab is ignored
        u"IDS_lower\tkey ends at the first lower-case letter\n"
        u"ids_LOWER\tskipped\n"
        u"IDS_NOTAB value\n"
        u"# IDS_COMMENT\tskipped\n"
        u"\n"
        u"IDS_ESC\tx\\ny\\rz\\\\w\\q\\\n"
        u"IDS_EMPTY\t\n"
        u"IDS_TWICE\tfirst\n"
        u"IDS_TWICE\tsecond\n");
    EXPECT_EQ(texts.at("IDS_TABS"), u"a\tb");
    EXPECT_EQ(texts.at("IDS_CUT"), u"a");
    EXPECT_EQ(texts.at("IDS_GAP"), u"v");
    EXPECT_EQ(texts.at("IDS_"), u"key ends at the first lower-case letter");
    EXPECT_EQ(texts.count("ids_LOWER") + texts.count("IDS_NOTAB") + texts.count("IDS_COMMENT"), 0u);
    EXPECT_EQ(texts.at("IDS_ESC"), u"x\ny\rz\\wq") << "a backslash at the very end ends the value";
    EXPECT_EQ(texts.at("IDS_EMPTY"), u"");
    EXPECT_EQ(texts.at("IDS_TWICE"), u"second");
}

TEST(CLocalizationFile, LongLinesAreReadInPiecesOf4095Characters) {
    std::u16string line = u"IDS_LONG\t" + std::u16string(4095 - 9, u'a');
    line += u"IDS_NEXT\tpiece\n";  // begins the second piece of the same line
    const auto texts = Parse(line);
    EXPECT_EQ(texts.at("IDS_LONG").size(), 4095u - 9);
    EXPECT_EQ(texts.at("IDS_NEXT"), u"piece");
}

// The reader as first written, a character at a time: the texts it gives are the file format's
// meaning, which the faster reader must keep.
std::map<std::string, std::u16string> ParseCharByChar(std::u16string_view content) {
    std::map<std::string, std::u16string> texts;
    for (size_t pos = 0; pos < content.size();) {
        size_t end = pos;
        while (end < content.size() && end - pos < 4095) {
            if (content[end++] == u'\n') {
                break;
            }
        }
        std::u16string_view line = content.substr(pos, end - pos);
        pos = end;
        if (!line.empty() && line.front() == u'\uFEFF') {
            line.remove_prefix(1);
        }
        line = line.substr(0, line.find(u'\r'));
        line = line.substr(0, line.find(u'\n'));
        size_t keyEnd = 0;
        while (keyEnd < line.size() && ((line[keyEnd] >= u'A' && line[keyEnd] <= u'Z') ||
                                         (line[keyEnd] >= u'0' && line[keyEnd] <= u'9') || line[keyEnd] == u'_')) {
            ++keyEnd;
        }
        const size_t tab = line.find(u'\t', keyEnd);
        if (line.empty() || line.front() == u'#' || keyEnd == 0 || tab == std::u16string_view::npos) {
            continue;
        }
        const size_t valueStart = std::min(line.find_first_not_of(u'\t', tab), line.size());
        const size_t valueEnd = std::min(line.find(u'\t', valueStart), line.size());
        std::u16string text;
        for (size_t i = valueStart; i < valueEnd; ++i) {
            if (line[i] != u'\\') {
                text += line[i];
            } else if (++i < valueEnd) {
                text += line[i] == u'n' ? u'\n' : line[i] == u'r' ? u'\r' : line[i] == u't' ? u'\t' : line[i];
            }
        }
        texts[std::string(line.begin(), line.begin() + static_cast<std::ptrdiff_t>(keyEnd))] = text;
    }
    return texts;
}

TEST(CLocalizationFile, ReadsTheInstalledFilesAndRandomLinesAsTheCharacterReaderDid) {
    for (const char* name : {"loc.0409.txt", "loc.0407.txt", "loc.txt"}) {
        std::ifstream file(std::string(CE_LOC_DIR) + "/" + name, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        ASSERT_GT(bytes.size(), 2u) << name;
        std::u16string content(bytes.size() / 2, u'\0');
        for (size_t i = 0; i < content.size(); ++i) {
            content[i] = static_cast<char16_t>(static_cast<uint8_t>(bytes[2 * i]) | static_cast<uint8_t>(bytes[2 * i + 1]) << 8);
        }
        EXPECT_EQ(Parse(content), ParseCharByChar(content)) << name;
    }
    // Lines made of the characters that the format gives a meaning, some longer than a piece.
    constexpr char16_t kAlphabet[] = u"IDS_A9x#\t\t\\\\nrt\r\n\n\uFEFF ";
    std::srand(4095);
    for (int round = 0; round < 300; ++round) {
        std::u16string content;
        const int length = round % 10 == 0 ? 9000 : std::rand() % 200;
        for (int i = 0; i < length; ++i) {
            const char16_t c = kAlphabet[std::rand() % (std::size(kAlphabet) - 1)];
            content += length > 4095 && c == u'\n' && i % 4000 != 0 ? u'x' : c;  // lines longer than a piece
        }
        ASSERT_EQ(Parse(content), ParseCharByChar(content)) << "round " << round;
    }
}

class CLocalizationTest : public ::testing::Test {
protected:
    InstalledDevice device;
};

TEST_F(CLocalizationTest, OverridesWinAndEnglishFillsWhatTheLanguageLacks) {
    device.WriteUtf16("Loc/loc.0409.txt", u"IDS_CAP_DONE\tDone\nIDS_CAP_BACK\tBack\nIDS_APP_NAME\tSkyvane\n");
    device.WriteUtf16("Loc/loc.0407.txt", u"IDS_CAP_DONE\tFertig\n");
    device.WriteUtf16("Loc/loc.txt", u"IDS_APP_NAME\tRebranded\n");
    CLocalization localization;
    ASSERT_TRUE(localization.Load(0x0407));
    EXPECT_EQ(localization.GetLanguage(), 0x0407);
    EXPECT_EQ(localization.GetLanguages(), (std::set<DWORD>{0x0407, 0x0409}));
    EXPECT_EQ(Text(localization, "IDS_CAP_DONE"), u"Fertig");
    EXPECT_EQ(Text(localization, "IDS_CAP_BACK"), u"Back");
    EXPECT_EQ(Text(localization, "IDS_APP_NAME"), u"Rebranded");
    EXPECT_EQ(Text(localization, "IDS_MISSING"), u"<absent>");

    ASSERT_TRUE(localization.SetLanguage(0x0409));
    EXPECT_EQ(Text(localization, "IDS_CAP_DONE"), u"Done");
}

TEST_F(CLocalizationTest, ALanguageWithoutFileMakesEnglishCurrent) {
    device.WriteUtf16("Loc/loc.0409.txt", u"IDS_CAP_DONE\tDone\n", false);
    CLocalization localization;
    ASSERT_TRUE(localization.Load(0x0419));
    EXPECT_EQ(localization.GetLanguage(), 1033);
    EXPECT_EQ(Text(localization, "IDS_CAP_DONE"), u"Done");
    EXPECT_FALSE(localization.LoadOverrides()) << "no loc.txt";
}

TEST_F(CLocalizationTest, LoadFailsWithoutLanguageFilesOrInstallFolder) {
    CLocalization localization;
    EXPECT_FALSE(localization.Load(0x0409));
    device.WriteUtf16("Loc/loc.0407.txt", u"IDS_CAP_DONE\tFertig\n");
    EXPECT_FALSE(localization.Load(0x0419)) << "only German, and English cannot be read";
    device.WriteUtf16("Loc/loc.0409.txt", u"IDS_CAP_DONE\tDone\n");
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Apps\\Quillon Software Skyvane");
    EXPECT_FALSE(localization.Load(0x0409)) << "no install folder, no language";
}

TEST_F(CLocalizationTest, GetStringCutsToTheBuffer) {
    device.WriteUtf16("Loc/loc.0409.txt", u"IDS_SIX\tabcdef\n");
    CLocalization localization;
    ASSERT_TRUE(localization.Load(0x0409));
    EXPECT_EQ(Text(localization, "IDS_SIX", 4), u"abc");
    WCHAR buffer[4];
    EXPECT_FALSE(localization.GetString(nullptr, buffer, 4));
    EXPECT_FALSE(localization.GetString("IDS_SIX", nullptr, 4));
}

TEST_F(CLocalizationTest, ATemplateThatDoesNotFitItsCallersFallsBackToEnglish) {
    device.WriteUtf16("Loc/loc.0409.txt",
                      u"IDS_DELETE_CITY_TMPL\tDelete %s?\nIDS_LOADING_PROGRESS_TMPL\t%s %s of %s %s\n"
                      u"IDS_COPYRIGHT_TMPL\t%s\nIDS_NOT_ENOUGH_FREE_MEMORY_TMPL\tIt needs %s %s.\n");
    device.WriteUtf16("Loc/loc.0407.txt",
                      u"IDS_DELETE_CITY_TMPL\t%d löschen?\nIDS_LOADING_PROGRESS_TMPL\t%s %s\n"
                      u"IDS_HOURS_TMPL\t%d Std.\nIDS_NOT_ENOUGH_FREE_MEMORY_TMPL\tEs werden %.2f %s benötigt.\n");
    CLocalization localization;
    ASSERT_TRUE(localization.Load(0x0407));
    EXPECT_EQ(Template(localization, "IDS_DELETE_CITY_TMPL"), u"Delete %s?") << "%d where a text is passed";
    EXPECT_EQ(Template(localization, "IDS_LOADING_PROGRESS_TMPL"), u"%s %s") << "using fewer is safe";
    EXPECT_EQ(Template(localization, "IDS_NOT_ENOUGH_FREE_MEMORY_TMPL"), u"It needs %s %s.")
        << "a size is passed as its formed number, not as a double";
    EXPECT_EQ(Template(localization, "IDS_HOURS_TMPL"), u"%d Std.");
    EXPECT_EQ(Template(localization, "IDS_COPYRIGHT_TMPL"), u"<absent>") << "English does not fit either";
    EXPECT_EQ(Template(localization, "IDS_CAP_DONE"), u"<absent>") << "not a template";
}

// A width or precision taken from an argument is one argument more than the callers pass.
TEST_F(CLocalizationTest, StarWidthTemplateUpdatedAtPercentStarSIsRefused) {
    EXPECT_FALSE(CLocalization::TemplateFits("IDS_UPDATED_AT_TMPL", u"Updated at %*s"));
    EXPECT_FALSE(CLocalization::TemplateFits("IDS_UPDATED_AT_TMPL", u"Updated at %.*s"));
    EXPECT_FALSE(CLocalization::TemplateFits("IDS_HOURS_TMPL", u"%*d"));
    EXPECT_FALSE(CLocalization::TemplateFits("IDS_UPDATED_AT_TMPL", u"Updated at %ls"));
    EXPECT_TRUE(CLocalization::TemplateFits("IDS_UPDATED_AT_TMPL", u"Updated at %-12.5s"));

    device.WriteUtf16("Loc/loc.0409.txt", u"IDS_UPDATED_AT_TMPL\tUpdated at %s\n");
    device.WriteUtf16("Loc/loc.0407.txt", u"IDS_UPDATED_AT_TMPL\tAktualisiert %*s\n");
    CLocalization localization;
    ASSERT_TRUE(localization.Load(0x0407));
    EXPECT_EQ(Template(localization, "IDS_UPDATED_AT_TMPL"), u"Updated at %s");
}

TEST_F(CLocalizationTest, ATemplateThatDoesNotFitTheBufferIsNeverCut) {
    device.WriteUtf16("Loc/loc.0409.txt", u"IDS_UPDATED_AT_TMPL\tAt %s\n");
    device.WriteUtf16("Loc/loc.0407.txt", u"IDS_UPDATED_AT_TMPL\tAktualisiert um %s\n");
    CLocalization localization;
    ASSERT_TRUE(localization.Load(0x0407));
    WCHAR buffer[17];  // "Aktualisiert um %" would be cut before its conversion
    ASSERT_TRUE(localization.GetTemplate("IDS_UPDATED_AT_TMPL", buffer, 17));
    EXPECT_EQ(std::u16string(buffer), u"At %s");
    EXPECT_FALSE(localization.GetTemplate("IDS_UPDATED_AT_TMPL", buffer, 5));
    EXPECT_EQ(buffer[0], u'\0');
}

// The installed language files: every key of the table has a text in English and German, and
// every template fits what its callers pass.
TEST_F(CLocalizationTest, InstalledLanguageFilesHaveEveryKeyAndFittingTemplates) {
    for (const char* name : {"loc.0409.txt", "loc.0407.txt", "loc.txt"}) {
        std::filesystem::copy_file(std::string(CE_LOC_DIR) + "/" + name, device.Installed(std::string("Loc/") + name));
    }
    for (LANGID language : {LANGID(0x0409), LANGID(0x0407)}) {
        CLocalization only;
        ASSERT_TRUE(only.DiscoverLanguages());
        ASSERT_TRUE(only.LoadLanguage(language));  // this file alone, without English underneath
        for (const char* key : kLocalizationKeys) {
            WCHAR text[1024];
            ASSERT_TRUE(only.GetString(key, text, 1024)) << key << " in " << std::hex << language;
            const char* passed = TemplateConversions(key);
            const std::string used = ce::FormatConversions(text);
            if (passed == nullptr) {
                EXPECT_EQ(used, "") << key << " is shown as it stands, in " << std::hex << language;
            } else {
                EXPECT_TRUE(CLocalization::TemplateFits(key, text)) << key << " in " << std::hex << language;
                EXPECT_EQ(used.empty(), std::string(passed).empty())
                    << key << " drops what its callers pass, in " << std::hex << language;
            }
        }
    }
    CLocalization localization;
    ASSERT_TRUE(localization.Load(0x0407));
    EXPECT_EQ(Text(localization, "IDS_WS_MOSTLY_SONNY"), u"Überwiegend sonnig");
    ASSERT_TRUE(localization.SetLanguage(0x0409));
    EXPECT_EQ(Text(localization, "IDS_WS_MORNING_SUN_AFTERNOON_THUNDERSTORM"), u"Morning Sun / Afternoon Thunderstorm");
}

}  // namespace

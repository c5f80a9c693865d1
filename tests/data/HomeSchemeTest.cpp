#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "CSysInfo.h"
#include "Framework/InstalledDevice.h"
#include "XmlData.h"

namespace {

using namespace data_test;

const std::string kStagedDir = kBinaryDir + "/data/HomeXML";
const std::string kPluginClass = "{6D2E8A41-0C7B-4E59-A3F6-91B4C8D27E05}";
// What the installer writes after the line that closes the default element.
const std::string kBackground =
    "<background bgimage=\"\\windows\\WindowsMobile.jpg\" bgimage-rotated=\"\\windows\\WindowsMobileLS.jpg\" "
    "valign=\"bottom\" bgcolor=\"COLOR_TRAYGRADLEFT\" />";

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) lines.push_back(line + "\n");
    return lines;
}

std::vector<std::filesystem::path> StagedTemplates() {
    std::vector<std::filesystem::path> templates;
    for (const auto& file : std::filesystem::directory_iterator(kStagedDir)) templates.push_back(file.path());
    return templates;
}

class HomeSchemeTemplates : public XmlDataTest {};

TEST_F(HomeSchemeTemplates, EverySmartphoneScreenWidthHasAStagedTemplate) {
    framework::test::InstalledDevice device;
    for (auto [width, height] : {std::pair{176, 220}, {240, 320}, {320, 240}, {480, 640}}) {
        framework::test::InstalledDevice::SetProfile("kind", "smartphone");
        framework::test::InstalledDevice::SetProfile("screen_width", std::to_string(width));
        framework::test::InstalledDevice::SetProfile("screen_height", std::to_string(height));
        CSysInfo info(nullptr);
        const std::string name = "Weather.home." + std::to_string(info.GetScreenWidth()) + ".xml";
        EXPECT_TRUE(std::filesystem::exists(kStagedDir + "/" + name)) << name;
    }
}

// The Home screen creates the plug-in from the class named in the scheme; the installer copies the
// template line by line (up to 511 bytes a line) and adds the background after the one line that
// closes the default element.
TEST_F(HomeSchemeTemplates, TemplatesNameThePluginClassAndStayWellFormedThroughTheInstallersRewrite) {
    const auto templates = StagedTemplates();
    ASSERT_GE(templates.size(), 4u);
    for (const auto& path : templates) {
        SCOPED_TRACE(path.filename().string());
        const std::string text = ReadText(path.string());
        ce::ComRef<IXMLDOMDocument> document;
        ce::ComRef<IXMLDOMElement> root = LoadRoot(text, document);
        ASSERT_TRUE(root.Get() != nullptr) << "does not load";
        EXPECT_EQ(NameOf(root.Get()), "home");
        int plugins = 0;
        for (auto& element : Elements(root.Get())) {
            if (NameOf(element.Get()) != "plugin") continue;
            ++plugins;
            EXPECT_EQ(Attribute(element.Get(), u"clsid").value_or(""), kPluginClass);
        }
        EXPECT_EQ(plugins, 1);

        std::string rewritten;
        int closing = 0;
        for (const std::string& line : Lines(text)) {
            EXPECT_LT(line.size(), 512u) << "the installer would split this line";
            rewritten += line;
            if (line.find("</default>") != std::string::npos) {
                ++closing;
                rewritten += kBackground;
            }
        }
        EXPECT_EQ(closing, 1) << "the background goes after exactly one line";

        ce::ComRef<IXMLDOMDocument> installed;
        ce::ComRef<IXMLDOMElement> installedRoot = LoadRoot(rewritten, installed);
        ASSERT_TRUE(installedRoot.Get() != nullptr) << "the installed scheme does not load";
        std::string order;
        for (auto& element : Elements(installedRoot.Get())) order += NameOf(element.Get()) + " ";
        EXPECT_NE(order.find("default background plugin"), std::string::npos) << order;
    }
}

}  // namespace

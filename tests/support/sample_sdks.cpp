#include "sample_sdks.h"

#include "tree_snapshot.h"

#include <filesystem>
#include <initializer_list>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

struct Framework {
    std::string path; // the .framework folder
    std::string name; // its binary's name
    int minor;
    std::string sdk;

    void file(const std::string &relative, mode_t mode = 0644) const
    {
        const std::string full = path + "/Versions/A/" + relative;
        writeFile(full, sdk + ": " + name + ".framework/" + relative + "\n");
        chmod(full.c_str(), mode);
    }

    void headers(std::initializer_list<const char *> names) const
    {
        for (const char *header : names)
            file(std::string("Headers/") + header);
    }

    void binaryAndLinks() const
    {
        if (minor <= 10)
            file(name, 0755);
        else
            file(name + ".tbd");
        fs::create_directory_symlink("A", path + "/Versions/Current");
        for (const char *top : {"Headers", "Resources"})
            if (fs::exists(path + "/Versions/A/" + top))
                fs::create_directory_symlink(std::string("Versions/Current/") + top, path + "/" + top);
        if (fs::exists(path + "/Versions/A/Frameworks"))
            fs::create_directory_symlink("Versions/Current/Frameworks", path + "/Frameworks");
        if (minor <= 10)
            fs::create_symlink("Versions/Current/" + name, path + "/" + name);
    }
};

} // namespace

void makeSampleSdk(const std::string &sdkDirectory, const std::string &osNum)
{
    const std::string sdk = "MacOSX" + osNum + ".sdk";
    const std::string root = sdkDirectory + "/" + sdk;
    const int minor = std::stoi(osNum.substr(osNum.find('.') + 1));
    const bool is10_6 = minor == 6;
    const std::string frameworks = root + "/System/Library/Frameworks";
    const std::string applicationServices = frameworks + "/ApplicationServices.framework";
    const std::string carbon = frameworks + "/Carbon.framework";
    const auto framework = [&](const std::string &parent, const std::string &name) {
        return Framework{parent + "/" + name + ".framework", name, minor, sdk};
    };

    const Framework qd = framework(applicationServices + "/Versions/A/Frameworks", "QD");
    qd.headers({"QD.h", "Quickdraw.h", "QDOffscreen.h", "ColorSyncDeprecated.h"});
    if (is10_6)
        qd.headers({"QuickdrawAPI.h", "QuickdrawTypes.h"});
    qd.binaryAndLinks();

    const Framework colorSync = framework(applicationServices + "/Versions/A/Frameworks", "ColorSync");
    colorSync.headers({"ColorSyncBase.h"});
    colorSync.file("Headers/ColorSync.h", 0444);
    colorSync.binaryAndLinks();

    const Framework printCore = framework(applicationServices + "/Versions/A/Frameworks", "PrintCore");
    printCore.headers({"PrintCore.h", "PMDefinitions.h"});
    printCore.file("Headers/PMCore.h", 0600);
    if (is10_6)
        printCore.headers({"PMCoreDeprecated.h", "PMDefinitionsDeprecated.h"});
    printCore.file("Resources/Info.plist");
    chmod((printCore.path + "/Versions/A/Resources").c_str(), 0555);
    printCore.binaryAndLinks();

    const Framework services = framework(frameworks, "ApplicationServices");
    services.headers({"ApplicationServices.h"});
    services.binaryAndLinks();

    const Framework print = framework(carbon + "/Versions/A/Frameworks", "Print");
    print.headers({"Print.h", "PMApplication.h"});
    if (is10_6)
        print.headers({"PMApplicationDeprecated.h"});
    print.binaryAndLinks();

    const Framework carbonItself = framework(frameworks, "Carbon");
    carbonItself.headers({"Carbon.h"});
    carbonItself.binaryAndLinks();

    if (minor <= 13) {
        const Framework quickTime = framework(frameworks, "QuickTime");
        quickTime.headers({"QuickTime.h", "Movies.h"});
        quickTime.binaryAndLinks();
    }

    writeFile(root + "/usr/include/stdio.h", sdk + ": stdio.h\n");
    writeFile(root + "/SDKSettings.plist", sdk + ": settings\n");
}

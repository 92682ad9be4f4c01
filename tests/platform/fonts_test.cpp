// Every test runs with the project's font set (tests/fonts.conf), whatever fonts the machine
// has: the families the program names resolve to the installed files, and nothing else is seen.
#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

#include <string>

namespace {

std::string Resolved(const char* family, bool bold) {
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(family));
    if (bold) FcPatternAddInteger(pattern, FC_WEIGHT, FC_WEIGHT_BOLD);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    std::string file;
    FcChar8* path = nullptr;
    if (match && FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch)
        file = reinterpret_cast<const char*>(path);
    if (match) FcPatternDestroy(match);
    FcPatternDestroy(pattern);
    return file.substr(file.rfind('/') + 1);
}

TEST(TestFonts, TheProgramsFamiliesResolveToTheInstalledFilesOnly) {
    ASSERT_TRUE(FcInit());
    const struct { const char* family; bool bold; const char* file; } cases[] = {
        {"Arial", false, "DejaVuSans.ttf"},     {"Arial", true, "DejaVuSans-Bold.ttf"},
        {"Sans", false, "DejaVuSans.ttf"},      {"monospace", false, "DejaVuSansMono.ttf"},
        {"宋体", false, "wqy-zenhei.ttc"},       {"Nimbus Sans", false, "DejaVuSans.ttf"},
        {"Liberation Sans", false, "DejaVuSans.ttf"}, {"Noto Sans CJK SC", false, "DejaVuSans.ttf"},
    };
    for (const auto& c : cases) EXPECT_EQ(Resolved(c.family, c.bold), c.file) << c.family;

    FcPattern* any = FcPatternCreate();
    FcObjectSet* files = FcObjectSetBuild(FC_FILE, nullptr);
    FcFontSet* seen = FcFontList(nullptr, any, files);
    ASSERT_NE(seen, nullptr);
    EXPECT_EQ(seen->nfont, 7) << "six DejaVu files and one WenQuanYi collection";
    FcFontSetDestroy(seen);
    FcObjectSetDestroy(files);
    FcPatternDestroy(any);
}

}  // namespace

#include "word/builtin/FontNames.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <set>

namespace word::builtin {
namespace {

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return s;
}

}  // namespace

std::vector<std::string> InstalledFontNames() {
    std::vector<std::string> names;
    FcConfig* config = FcInitLoadConfigAndFonts();
    if (!config)
        return names;
    FcPattern* pattern = FcPatternCreate();
    FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, nullptr);
    FcFontSet* fonts = pattern && objects ? FcFontList(config, pattern, objects) : nullptr;
    std::set<std::string> seen;  // lower case, so that "DejaVu Sans" and "Dejavu Sans" count once
    if (fonts) {
        for (int i = 0; i < fonts->nfont; ++i) {
            FcChar8* family = nullptr;
            if (FcPatternGetString(fonts->fonts[i], FC_FAMILY, 0, &family) != FcResultMatch ||
                !family)
                continue;
            std::string name = reinterpret_cast<const char*>(family);
            if (name.empty() || !seen.insert(Lower(name)).second)
                continue;
            names.push_back(std::move(name));
        }
        FcFontSetDestroy(fonts);
    }
    if (objects)
        FcObjectSetDestroy(objects);
    if (pattern)
        FcPatternDestroy(pattern);
    FcConfigDestroy(config);
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const std::string la = Lower(a), lb = Lower(b);
        return la != lb ? la < lb : a < b;
    });
    return names;
}

}  // namespace word::builtin

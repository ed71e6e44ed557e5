#include "docx/FontNames.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <set>

#include "docx/PackageIo.h"

namespace docx {

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
            if (name.empty() || !seen.insert(io::Lower(name)).second)
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
        const std::string la = io::Lower(a), lb = io::Lower(b);
        return la != lb ? la < lb : a < b;
    });
    return names;
}

}  // namespace docx

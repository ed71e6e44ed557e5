#include "Targets.h"

namespace lf_fuzz {

const std::vector<Target>& AllTargets() {
    static const std::vector<Target> targets = {
        {"open_package", FuzzOpenPackage}, {"package_parts", FuzzPackageParts},
        {"find_replace", FuzzFindReplace}, {"type_text", FuzzTypeText},
        {"wildcard", FuzzWildcard},        {"normalize_path", FuzzNormalizePath},
    };
    return targets;
}

}  // namespace lf_fuzz

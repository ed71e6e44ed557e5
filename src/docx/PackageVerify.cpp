#include "docx/PackageImpl.h"
#include "docx/PartNames.h"

namespace docx {
namespace {

// Small XML parts read by the checksum pass are kept for the parser, up to this much in all.
constexpr std::uint64_t kKeepPartBytes = 16ull << 20;
constexpr std::uint64_t kKeepTotalBytes = 64ull << 20;

}  // namespace

void PackageOpener::VerifyEntries(Package& pkg, const std::string& name) {
    Package::Impl& m = *pkg.impl_;
    std::uint64_t kept = 0;
    for (const Entry& e : pkg.entries_) {
        if (!e.name.empty() && e.name.back() == '/' && e.size == 0)
            continue;
        const bool keep =
            IsXmlPartName(e.name) && e.size <= kKeepPartBytes && kept + e.size <= kKeepTotalBytes;
        std::string bytes;
        if (keep)
            bytes.reserve(e.size);
        StreamEntry(pkg, e, name, [&](const char* data, size_t n) {
            if (keep)
                bytes.append(data, n);
        });
        if (keep) {
            kept += e.size;
            m.keptBytes.emplace(e.name, std::move(bytes));
        }
    }
}

}  // namespace docx

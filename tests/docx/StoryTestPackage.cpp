#include "StoryTestPackage.h"

#include "DocxSkeleton.h"
#include "PackageFixtures.h"
#include "StoryTestXml.h"

namespace story_test {
namespace {

std::string Stem(const std::string& file) {
    return file.substr(0, file.rfind('.'));
}

}  // namespace

void WriteStoryDocx(const std::string& path, const StoryDocSpec& spec) {
    testzip::Skeleton s;
    s.relationshipsFirst = true;
    s.document = std::string(testzip::kXmlDecl) + "<w:document" + kNamespaces + "><w:body>" +
                 spec.body + "</w:body></w:document>";
    const auto add = [&](const std::string& file, const std::string& kind, const std::string& root,
                         const std::string& inner) {
        s.related.push_back({"word/" + file, kind, Stem(file),
                             std::string(testzip::kXmlDecl) + "<w:" + root + kNamespaces + ">" +
                                 inner + "</w:" + root + ">"});
    };
    for (const auto& [file, inner] : spec.headers)
        add(file, "header", "hdr", inner);
    for (const auto& [file, inner] : spec.footers)
        add(file, "footer", "ftr", inner);
    for (const auto& [kind, inner] : {std::pair{"footnotes", &spec.footnotes},
                                      {"endnotes", &spec.endnotes},
                                      {"comments", &spec.comments},
                                      {"settings", &spec.settings}})
        if (!inner->empty())
            add(std::string(kind) + ".xml", kind, kind, *inner);
    fixtures::WriteFile(path, testzip::BuildZip(testzip::SkeletonEntries(s)));
}

std::string SectPr(const std::vector<std::vector<std::string>>& refs) {
    std::string s = "<w:sectPr>";
    for (const auto& ref : refs) {
        s += "<w:" + ref[0] + "Reference w:type=\"" + ref[1] + "\" r:id=\"" + Stem(ref[2]) + "\"/>";
    }
    return s + "</w:sectPr>";
}

std::string NoteSeparators(const std::string& noteLocal) {
    return "<w:" + noteLocal + " w:type=\"separator\" w:id=\"-1\"><w:p><w:r><w:separator/></w:r>" +
           "</w:p></w:" + noteLocal + "><w:" + noteLocal +
           " w:type=\"continuationSeparator\" w:id=\"0\"><w:p><w:r><w:continuationSeparator/>" +
           "</w:r></w:p></w:" + noteLocal + ">";
}

}  // namespace story_test

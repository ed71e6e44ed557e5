#include <gtest/gtest.h>
#include <zip.h>

#include <QDir>
#include <QImage>
#include <QImageReader>
#include <cstdlib>
#include <map>
#include <pugixml.hpp>
#include <string>

namespace {

QString BinDir() {
    const char* env = std::getenv("LINEFORGE_BIN_DIR");
    return env ? QString::fromLocal8Bit(env) : QString();
}

// Every entry of a package, read whole.
std::map<std::string, std::string> ReadPackage(const QString& path) {
    std::map<std::string, std::string> parts;
    int error = 0;
    zip_t* zip = zip_open(path.toLocal8Bit().constData(), ZIP_RDONLY, &error);
    if (!zip)
        return parts;
    for (zip_int64_t i = 0; i < zip_get_num_entries(zip, 0); ++i) {
        zip_stat_t st;
        if (zip_stat_index(zip, i, 0, &st) != 0)
            continue;
        std::string data(st.size, '\0');
        if (zip_file_t* f = zip_fopen_index(zip, i, 0)) {
            if (zip_fread(f, data.data(), st.size) == static_cast<zip_int64_t>(st.size))
                parts[st.name] = data;
            zip_fclose(f);
        }
    }
    zip_close(zip);
    return parts;
}

// All text of the w:t elements of one part.
std::string TextOf(const pugi::xml_document& doc) {
    std::string text;
    for (const auto& t : doc.select_nodes("//w:t"))
        text += t.node().text().get();
    return text;
}

TEST(ShippedFiles, SamplesBesideTheProgramAreWellFormedPackages) {
    ASSERT_FALSE(BinDir().isEmpty()) << "LINEFORGE_BIN_DIR is not set";
    const QDir samples(BinDir() + "/Samples");
    const QStringList names = samples.entryList(QDir::Files, QDir::Name);
    ASSERT_GE(names.size(), 3) << samples.path().toStdString();
    ASSERT_LE(names.size(), 5);
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        EXPECT_TRUE(name.endsWith(".docx"));
        const auto parts = ReadPackage(samples.filePath(name));
        ASSERT_TRUE(parts.count("[Content_Types].xml"));
        ASSERT_TRUE(parts.count("word/document.xml"));
        pugi::xml_document types;
        ASSERT_TRUE(types.load_string(parts.at("[Content_Types].xml").c_str()));
        for (const auto& [part, data] : parts) {
            pugi::xml_document doc;
            EXPECT_TRUE(doc.load_buffer(data.data(), data.size())) << part;
            if (part.ends_with(".rels") || part == "[Content_Types].xml")
                continue;
            const std::string attr = "/" + part;
            EXPECT_TRUE(
                types.child("Types").find_child_by_attribute("Override", "PartName", attr.c_str()))
                << part << " has no content type";
        }
        pugi::xml_document rels;
        ASSERT_TRUE(rels.load_string(parts.at("word/_rels/document.xml.rels").c_str()));
        for (auto rel : rels.child("Relationships").children("Relationship"))
            EXPECT_TRUE(parts.count(std::string("word/") + rel.attribute("Target").value()))
                << rel.attribute("Target").value();
    }
}

TEST(ShippedFiles, TheXSamplesCarryTheMarkerInBodyHeaderFootnoteAndTable) {
    const QDir samples(BinDir() + "/Samples");
    bool header = false, footnote = false, table = false;
    int withMarker = 0;
    for (const QString& name : samples.entryList(QDir::Files, QDir::Name)) {
        const auto parts = ReadPackage(samples.filePath(name));
        for (const auto& [part, data] : parts) {
            pugi::xml_document doc;
            doc.load_buffer(data.data(), data.size());
            const bool marked = TextOf(doc).find("[x]") != std::string::npos;
            if (part == "word/document.xml" && marked)
                ++withMarker;
            if (part.starts_with("word/header") && marked)
                header = true;
            if (part == "word/footnotes.xml" && marked)
                footnote = true;
            if (part == "word/document.xml")
                for (const auto& tc : doc.select_nodes("//w:tc"))
                    for (auto t : tc.node().select_nodes(".//w:t"))
                        if (std::string(t.node().text().get()).find("[x]") != std::string::npos)
                            table = true;
        }
    }
    EXPECT_GE(withMarker, 3);
    EXPECT_TRUE(header);
    EXPECT_TRUE(footnote);
    EXPECT_TRUE(table);
}

TEST(ShippedFiles, PointerPicturesAreReadableBesideTheProgram) {
    for (const char* file : {"HAND-M.CUR", "drag.ico"}) {
        SCOPED_TRACE(file);
        QImageReader reader(BinDir() + "/" + file);
        const QImage image = reader.read();
        ASSERT_FALSE(image.isNull()) << reader.errorString().toStdString();
        EXPECT_EQ(image.size(), QSize(32, 32));
        EXPECT_TRUE(image.hasAlphaChannel());
        EXPECT_EQ(qAlpha(image.pixel(31, 31)), 0);  // corners are transparent
        EXPECT_EQ(qAlpha(image.pixel(0, 31)), 0);
    }
}

}  // namespace

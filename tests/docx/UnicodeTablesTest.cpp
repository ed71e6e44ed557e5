// The engine's own character tables (it may not use Qt) agree with Qt's for every code point.
#include <gtest/gtest.h>

#include <QChar>
#include <QString>

#include "docx/find/FindReplaceUnicode.h"

namespace {

struct Table {
    const char* name;
    bool (*agrees)(char32_t c);
};

const Table kTables[] = {
    // The two may pick other members of a case class to fold to (Cherokee folds to capitals in
    // Qt): they agree when each puts every character into the same class.
    {"case folding",
     [](char32_t c) {
         const char32_t mine = docx::unicode::Fold(c);
         const char32_t qt = QChar::toCaseFolded(c);
         return docx::unicode::Fold(qt) == mine && QChar::toCaseFolded(mine) == qt;
     }},
    {"letters", [](char32_t c) { return docx::unicode::IsLetter(c) == QChar::isLetter(c); }},
    {"decimal digits",
     [](char32_t c) {
         return docx::unicode::IsDigit(c) == (QChar::category(c) == QChar::Number_DecimalDigit);
     }},
};

TEST(UnicodeTables, AgreeWithQtForEveryCodePoint) {
    for (const Table& t : kTables) {
        size_t disagreements = 0;
        std::string first;
        for (char32_t c = 0; c <= 0x10FFFF; ++c) {
            if (t.agrees(c))
                continue;
            if (disagreements++ < 5)
                first += " U+" + QString::number(c, 16).toUpper().toStdString();
        }
        EXPECT_EQ(disagreements, 0u) << t.name << " disagree at" << first;
    }
}

}  // namespace

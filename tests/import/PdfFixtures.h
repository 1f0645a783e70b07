#pragma once
// The PDF documents that scripts/make-pdf-fixtures writes into the build.
#include <QString>

namespace quire::test {

inline QString pdfFixture(const QString& name)
{
    return QStringLiteral(QUIRE_PDF_FIXTURES "/") + name;
}

} // namespace quire::test

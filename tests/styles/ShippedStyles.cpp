#include "ShippedStyles.h"
#include "support/TestEnv.h"

#include <QFileInfo>
#include <gtest/gtest.h>

namespace quire::test {

QStringList shippedTemplates()
{
    QStringList names;
    for (const QString& folder : FlashTemplate::tmplNames())
        names << QFileInfo(folder).fileName();
    return names;
}

QList<ShippedStyle> shippedStyles()
{
    QList<ShippedStyle> styles;
    for (const QString& tmpl : shippedTemplates())
        for (const QString& folder : FlashTemplate::tmplStyleNamesForTmpl(tmpl))
            styles.append({tmpl, QFileInfo(folder).fileName()});
    return styles;
}

QList<QPair<QString, QString>> strictSettingsRecords(const QByteArray& bytes, const std::string& where)
{
    QList<QPair<QString, QString>> records;
    const QByteArray separator("\n\r", 2);
    EXPECT_TRUE(bytes.startsWith(separator)) << where << ": must begin with line feed, carriage return";
    EXPECT_FALSE(bytes.endsWith('\n') || bytes.endsWith('\r')) << where << ": ends in a line break";
    const QList<QByteArray> parts = bytes.split('\n');
    for (int i = 1; i < parts.size(); ++i) {
        QByteArray record = parts[i];
        EXPECT_TRUE(record.startsWith('\r')) << where << ": record " << i << " lacks its carriage return";
        record = record.mid(1);
        EXPECT_FALSE(record.contains('\r')) << where << ": stray carriage return in record " << i;
        const int eq = record.indexOf('=');
        EXPECT_GT(eq, 0) << where << ": record " << i << " has no key=value";
        if (eq > 0)
            records.append({QString::fromUtf8(record.left(eq)), QString::fromUtf8(record.mid(eq + 1))});
    }
    EXPECT_EQ(parts.value(0), QByteArray()) << where << ": text before the first record";
    return records;
}

void walkProperties(const FlashTemplate::PropertyList& list,
                    const std::function<void(const FlashTemplateProperty&)>& visit)
{
    for (const auto& p : list) {
        visit(*p);
        walkProperties(p->childProperties(), visit);
    }
}

} // namespace quire::test

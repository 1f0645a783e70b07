#pragma once
// The shipped catalogue as the template chooser sees it, and what a style's
// settings file holds.
#include "templates/FlashTemplate.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <functional>

namespace quire::test {

struct ShippedStyle {
    QString tmpl;
    QString style;
    QString folder() const { return FlashTemplate::stylePathFor(tmpl, style); }
    std::string label() const { return (tmpl + "/" + style).toStdString(); }
};

// Every template's name, in catalogue order.
QStringList shippedTemplates();
// Every style of every template, in catalogue order.
QList<ShippedStyle> shippedStyles();

// The records of a settings file written in the exact format: each record
// preceded by line feed and carriage return, no line break at the end, no
// other line break anywhere. Adds a failure and gives what it could read
// when the bytes break the format.
QList<QPair<QString, QString>> strictSettingsRecords(const QByteArray& bytes, const std::string& where);

// Visits every property of a tree in depth-first pre-order.
void walkProperties(const FlashTemplate::PropertyList& list,
                    const std::function<void(const FlashTemplateProperty&)>& visit);

} // namespace quire::test

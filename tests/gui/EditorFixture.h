#pragma once
// A property editor on screen (offscreen platform) over a small template, with
// a chooser that answers as told and records what it was asked.
#include "DialogDriver.h"
#include "gui/templates/FlashTemplateOutlineDelegate.h"
#include "gui/templates/FlashTemplateOutlineView.h"
#include "gui/templates/ValueChooser.h"

namespace quire::test {

struct ScriptedChooser : ValueChooser {
    std::optional<QColor> color;
    std::optional<QString> file;
    int calls = 0;
    QColor initial;
    QStringList extensions;
    QString suggested;

    std::optional<QColor> chooseColor(const QColor& start, QWidget*) override
    {
        ++calls;
        initial = start;
        return color;
    }
    std::optional<QString> chooseFile(const QString&, const QStringList& allowed, const QString& path,
                                      QWidget*) override
    {
        ++calls;
        extensions = allowed;
        suggested = path;
        return file;
    }
};

inline std::unique_ptr<FlashTemplateProperty> property(int type, const QString& key, const Text& value,
                                                       const Text& valueSource = QString())
{
    auto p = std::make_unique<FlashTemplateProperty>();
    p->setPropertyType(type);
    p->setKey(key);
    p->setTitle(QStringLiteral("Title of ") + key);
    p->setDesc(QStringLiteral("Help on ") + key);
    p->setATitle(QStringLiteral("Caption of ") + key);
    p->setValue(value);
    p->setValueSource(valueSource);
    return p;
}

class EditorFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto& list = tmpl.properties();
        list.clear();
        list.push_back(property(pt_text, "text", QStringLiteral("hello")));
        list.push_back(property(pt_list, "list", QStringLiteral("medium"), QStringLiteral("small,medium,large")));
        list.push_back(property(pt_bool, "switch", QStringLiteral("Show")));
        auto group = property(pt_composite, "group", QString());
        group->addChild(property(pt_color, "color", QStringLiteral("0x00ff00")));
        group->addChild(property(pt_file, "file", QStringLiteral("/old.png"), QStringLiteral("Pictures|*.jpg;*.png")));
        list.push_back(std::move(group));
        model.setFlashTmpl(&tmpl);
        view.setModel(&model);
        auto owned = std::make_unique<ScriptedChooser>();
        chooser = owned.get();
        view.setValueChooser(std::move(owned));
        view.resize(420, 240);
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    }

    FlashTemplateProperty* find(const QString& key) { return tmpl.findProperty(key); }
    QModelIndex valueIndex(const QString& key) { return model.indexOf(find(key), FlashTemplateOutlineDelegate::ValueColumn); }
    QRect cellRect(const QString& key) { return view.visualRect(valueIndex(key)); }
    QString value(const QString& key) { return textOr(find(key)->value(), "(none)"); }
    void select(const QString& key) { view.setCurrentIndex(model.indexOf(find(key))); }
    void key(int k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) { QTest::keyClick(&view, Qt::Key(k), modifiers); }

    FlashTemplate tmpl;
    FlashTemplateOutlineDelegate model;
    FlashTemplateOutlineView view;
    ScriptedChooser* chooser = nullptr;
    QSignalSpy changed{&model, &FlashTemplateOutlineDelegate::FlashTmplProValueChangedNotification};
};

} // namespace quire::test

#pragma once
// A cell that edits one template property.
#include "InfoButtonCell.h"

namespace quire {

class FlashTemplateProperty;

class FlashTmplCell : public InfoButtonCell {
public:
    using InfoButtonCell::InfoButtonCell;

    FlashTemplateProperty* pro() const { return m_pro; }
    void setPro(FlashTemplateProperty* property) { m_pro = property; }

private:
    FlashTemplateProperty* m_pro = nullptr; // not owned
};

} // namespace quire

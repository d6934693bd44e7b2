#pragma once
// What the offscreen tests look at to see that a window shows its texts whole: the controls a
// user reads or fills in, and those of their texts that do not fit their widgets.
#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>

#include <string>
#include <utility>
#include <vector>

namespace apptest {

// The visible controls a user reads or fills in, with their places in the window.
inline std::vector<std::pair<QWidget*, QRect>> VisibleControls(QWidget* top)
{
    std::vector<std::pair<QWidget*, QRect>> found;
    for (QWidget* w : top->findChildren<QWidget*>()) {
        const bool control = qobject_cast<QLabel*>(w) || qobject_cast<QAbstractButton*>(w) ||
                             qobject_cast<QLineEdit*>(w) || qobject_cast<QAbstractSpinBox*>(w) ||
                             qobject_cast<QComboBox*>(w);
        // A line edit inside a spin box or a combo box is part of it.
        if (control && w->isVisibleTo(top) && !qobject_cast<QAbstractSpinBox*>(w->parentWidget()) &&
            !qobject_cast<QComboBox*>(w->parentWidget()))
            found.emplace_back(w, QRect(w->mapTo(top, QPoint(0, 0)), w->size()));
    }
    return found;
}

inline std::string Named(QWidget* w)
{
    if (auto* l = qobject_cast<QLabel*>(w))
        return "\"" + l->text().toStdString() + "\"";
    if (auto* b = qobject_cast<QAbstractButton*>(w))
        return "\"" + b->text().toStdString() + "\"";
    return w->metaObject()->className();
}

// The texts of labels, buttons and check boxes that their widgets cut: a label on one line is as
// wide as its text at least, wrapped as high as its lines; a button is as wide as its text and a
// little margin; a check box or radio button as wide as its mark and its text.
inline std::vector<std::string> CutTexts(QWidget* top)
{
    std::vector<std::string> cut;
    for (const auto& [w, place] : VisibleControls(top)) {
        if (auto* l = qobject_cast<QLabel*>(w); l && !l->text().isEmpty() && l->textFormat() != Qt::RichText) {
            QString shown = l->text();
            if (l->buddy() == nullptr)
                shown.replace(QLatin1String("&&"), QLatin1String("&"));
            const bool whole = l->wordWrap() ? l->heightForWidth(l->width()) <= l->height()
                                             : l->fontMetrics().horizontalAdvance(shown) <= l->contentsRect().width();
            if (!whole)
                cut.push_back(Named(w));
        } else if (auto* b = qobject_cast<QPushButton*>(w); b && !b->text().isEmpty()) {
            QString shown = b->text();
            shown.remove(QLatin1Char('&'));
            if (b->fontMetrics().horizontalAdvance(shown) + 6 > b->width())
                cut.push_back(Named(w));
        } else if (auto* c = qobject_cast<QAbstractButton*>(w);
                   c && (qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w)) && !c->text().isEmpty()) {
            if (c->sizeHint().width() > c->width())
                cut.push_back(Named(w));
        }
    }
    return cut;
}

} // namespace apptest

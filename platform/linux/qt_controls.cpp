#include "platform/linux/qt_controls.h"

#include "platform/linux/qt_dialog_widget.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyleOptionProgressBar>
#include <QStylePainter>

#include <algorithm>
#include <cstring>
#include <strings.h>

namespace platform::qt {

namespace {

constexpr DWORD staticNoPrefix = 0x80; // SS_NOPREFIX

bool progressRegistered = false;

// A progress bar that draws the one-pixel frame of WS_BORDER around the bar.
class tProgressBar : public QProgressBar {
public:
    tProgressBar(QWidget* parent, bool bordered) : QProgressBar(parent), bordered(bordered) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QStylePainter painter(this);
        QStyleOptionProgressBar option;
        initStyleOption(&option);
        if (bordered)
            option.rect = rect().adjusted(1, 1, -1, -1);
        painter.drawControl(QStyle::CE_ProgressBar, option);
        if (bordered) {
            painter.setPen(QColor(Qt::black));
            painter.drawRect(rect().adjusted(0, 0, -1, -1));
        }
    }

private:
    bool bordered;
};

// A static control's text as it appears: "&&" is an ampersand, a single "&" only marks the
// next character.
QString staticDisplayText(const std::string& text, DWORD style) {
    if (style & staticNoPrefix)
        return QString::fromStdString(text);
    std::string shown;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size())
            ++i;
        else if (text[i] == '&')
            continue;
        shown += text[i];
    }
    return QString::fromStdString(shown);
}

void showProgress(tWindow* bar) {
    auto* widget = qobject_cast<QProgressBar*>(bar->widget.data());
    if (!widget)
        return;
    const tProgressState& state = bar->progress;
    // An empty range shows nothing filled (Qt would show a busy bar).
    if (state.upper > state.lower) {
        widget->setRange(state.lower, state.upper);
        widget->setValue(state.position);
    } else {
        widget->setRange(0, 1);
        widget->setValue(0);
    }
}

// Inserting into an empty QComboBox selects the new item; a combo box control keeps having
// no selection.
void insertItem(tWindow* combo, int index, const char* text) {
    combo->items.insert(combo->items.begin() + index, text);
    auto* widget = qobject_cast<QComboBox*>(combo->widget.data());
    if (!widget)
        return;
    QSignalBlocker quiet(widget);
    int selected = widget->currentIndex();
    widget->insertItem(index, QString::fromUtf8(text));
    if (selected < 0)
        widget->setCurrentIndex(-1);
}

QWidget* makeWidget(tWindow* dialog, tWindow* control, const tDialogItemTemplate& item) {
    QWidget* parent = dialog->widget;
    HWND dialogHandle = dialog->handle;
    int id = control->id;
    switch (control->kind) {
    case tKind::button: {
        auto* button = new QPushButton(parent);
        button->setAutoDefault(false);
        button->setDefault((item.style & 0xF) == BS_DEFPUSHBUTTON);
        QObject::connect(button, &QPushButton::clicked, button, [dialogHandle, id] {
            if (tWindow* owner = windowOf(dialogHandle))
                sendCommand(owner, id, BN_CLICKED);
        });
        return button;
    }
    case tKind::combo: {
        auto* combo = new QComboBox(parent);
        combo->setEditable(false);
        // Every choice the user makes (mouse, arrow keys, typing) is a selection change; what
        // the program selects is not, since it never goes through this signal.
        QObject::connect(combo, &QComboBox::activated, combo, [dialogHandle, id](int) {
            if (tWindow* owner = windowOf(dialogHandle))
                sendCommand(owner, id, CBN_SELCHANGE);
        });
        return combo;
    }
    case tKind::staticText: {
        auto* label = new QLabel(parent);
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setMargin(0);
        label->setIndent(0);
        return label;
    }
    case tKind::progress: {
        auto* bar = new tProgressBar(parent, (item.style & WS_BORDER) != 0);
        bar->setTextVisible(false);
        return bar;
    }
    default:
        return nullptr;
    }
}

void place(tWindow* control, const tDialogItemTemplate& item, tBaseUnits units) {
    QWidget* widget = control->widget;
    QRect area = dialogUnitsToPixels(item.x, item.y, item.cx, item.cy, units);
    if (control->kind == tKind::combo) {
        // The template's height holds the dropped-down list; the box itself is as high as its
        // font makes it.
        auto* combo = static_cast<QComboBox*>(widget);
        int boxHeight = combo->sizeHint().height();
        int itemHeight = QFontMetrics(combo->font()).height();
        combo->setMaxVisibleItems(std::max(1, (area.height() - boxHeight) / itemHeight));
        area.setHeight(boxHeight);
    }
    widget->setGeometry(area);
}

} // namespace

bool controlKind(const std::string& className, tKind& kind) {
    if (strcasecmp(className.c_str(), "Button") == 0)
        kind = tKind::button;
    else if (strcasecmp(className.c_str(), "ComboBox") == 0)
        kind = tKind::combo;
    else if (strcasecmp(className.c_str(), "Static") == 0)
        kind = tKind::staticText;
    else if (strcasecmp(className.c_str(), PROGRESS_CLASSA) == 0)
        kind = tKind::progress;
    else
        return false;
    return true;
}

bool progressClassRegistered() {
    return progressRegistered;
}

void registerProgressClass() {
    progressRegistered = true;
}

tWindow* createControl(tWindow* dialog, const tDialogItemTemplate& item, tBaseUnits units) {
    tKind kind;
    if (!controlKind(item.className, kind))
        return nullptr;
    tWindow* control = createWindow(kind);
    control->style = item.style;
    control->exStyle = item.exStyle;
    control->id = static_cast<int>(static_cast<short>(item.id));
    control->text = item.text;
    control->parent = dialog;
    dialog->children.push_back(control);

    QWidget* widget = makeWidget(dialog, control, item);
    control->widget = widget;
    widget->setFont(dialog->widget->font());
    place(control, item, units);
    bool focusable = kind == tKind::button || kind == tKind::combo;
    widget->setFocusPolicy(!focusable                  ? Qt::NoFocus
                           : (item.style & WS_TABSTOP) ? Qt::StrongFocus
                                                       : Qt::ClickFocus);
    widget->setEnabled(!(item.style & WS_DISABLED));
    widget->setVisible((item.style & WS_VISIBLE) != 0);
    showText(control);
    if (kind == tKind::progress)
        showProgress(control);
    return control;
}

void showText(tWindow* window) {
    QWidget* widget = window->widget;
    if (!widget)
        return;
    switch (window->kind) {
    case tKind::dialog:
        widget->setWindowTitle(QString::fromStdString(window->text));
        break;
    case tKind::button:
        static_cast<QPushButton*>(widget)->setText(QString::fromStdString(window->text));
        break;
    case tKind::staticText:
        static_cast<QLabel*>(widget)->setText(staticDisplayText(window->text, window->style));
        break;
    default:
        // A drop-down list shows its selection, a progress bar no text at all.
        break;
    }
}

LRESULT comboMessage(tWindow* combo, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* widget = qobject_cast<QComboBox*>(combo->widget.data());
    auto count = static_cast<int>(combo->items.size());
    auto index = static_cast<int>(wParam);
    switch (message) {
    case CB_GETCOUNT:
        return count;
    case CB_GETCURSEL:
        return widget && widget->currentIndex() >= 0 ? widget->currentIndex() : CB_ERR;
    case CB_SETCURSEL: {
        bool valid = index >= 0 && index < count;
        if (widget) {
            QSignalBlocker quiet(widget);
            widget->setCurrentIndex(valid ? index : -1);
        }
        combo->needsPaint = true;
        return valid ? index : CB_ERR;
    }
    case CB_ADDSTRING: {
        const char* text = reinterpret_cast<const char*>(lParam);
        auto at = combo->items.end();
        if (combo->style & CBS_SORT)
            at = std::upper_bound(combo->items.begin(), combo->items.end(), std::string(text),
                                  [](const std::string& a, const std::string& b) {
                                      return strcasecmp(a.c_str(), b.c_str()) < 0;
                                  });
        auto position = static_cast<int>(at - combo->items.begin());
        insertItem(combo, position, text);
        combo->needsPaint = true;
        return position;
    }
    case CB_INSERTSTRING:
        if (index == -1)
            index = count;
        if (index < 0 || index > count)
            return CB_ERR;
        insertItem(combo, index, reinterpret_cast<const char*>(lParam));
        combo->needsPaint = true;
        return index;
    case CB_DELETESTRING: {
        if (index < 0 || index >= count)
            return CB_ERR;
        combo->items.erase(combo->items.begin() + index);
        if (widget) {
            QSignalBlocker quiet(widget);
            bool wasSelected = widget->currentIndex() == index;
            widget->removeItem(index);
            if (wasSelected)
                widget->setCurrentIndex(-1);
        }
        combo->needsPaint = true;
        return count - 1;
    }
    case CB_RESETCONTENT:
        combo->items.clear();
        if (widget) {
            QSignalBlocker quiet(widget);
            widget->clear();
        }
        combo->needsPaint = true;
        return 0;
    case CB_GETLBTEXTLEN:
        if (index < 0 || index >= count)
            return CB_ERR;
        return static_cast<LRESULT>(combo->items[index].size());
    case CB_GETLBTEXT:
        if (index < 0 || index >= count)
            return CB_ERR;
        memcpy(reinterpret_cast<char*>(lParam), combo->items[index].c_str(),
               combo->items[index].size() + 1);
        return static_cast<LRESULT>(combo->items[index].size());
    case CB_SHOWDROPDOWN:
        if (widget) {
            if (wParam)
                widget->showPopup();
            else
                widget->hidePopup();
        }
        return TRUE;
    case CB_GETDROPPEDSTATE:
        return widget && widget->view()->isVisible() ? TRUE : FALSE;
    default:
        return 0;
    }
}

LRESULT progressMessage(tWindow* bar, UINT message, WPARAM wParam, LPARAM lParam) {
    bool handled = false;
    tProgressState before = bar->progress;
    LRESULT answer = bar->progress.apply(message, wParam, lParam, handled);
    const tProgressState& after = bar->progress;
    if (handled && (after.lower != before.lower || after.upper != before.upper ||
                    after.position != before.position)) {
        showProgress(bar);
        bar->needsPaint = true;
    }
    return answer;
}

} // namespace platform::qt

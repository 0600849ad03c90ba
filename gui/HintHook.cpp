#include "HintHook.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QVariant>

namespace velkor {

namespace {

constexpr const char* kHintProperty = "velkorHint";
constexpr const char* kWatchedProperty = "velkorHintWatched";

QString LongHint(const QString& hint) {
    const auto bar = hint.indexOf(QLatin1Char('|'));
    return bar < 0 ? hint : hint.mid(bar + 1);
}

}  // namespace

HintHook::HintHook(QObject* parent) : QObject(parent) {
    qApp->installEventFilter(this);
    connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
            &HintHook::FollowRestingPointer);
}

HintHook::~HintHook() {
    if (qApp != nullptr) {
        qApp->removeEventFilter(this);
    }
}

void HintHook::SetHint(QObject* target, const QString& hint) {
    target->setProperty(kHintProperty, hint);
    // What the status bar says of a control, a screen reader says too.
    if (auto* widget = qobject_cast<QWidget*>(target)) {
        widget->setAccessibleDescription(LongHint(hint));
    }
}

QString HintHook::HintOf(const QObject* target) {
    return target == nullptr ? QString() : target->property(kHintProperty).toString();
}

QString HintHook::HintAt(const QWidget* widget) {
    for (const QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
        const QString hint = HintOf(w);
        if (!hint.isEmpty()) {
            return LongHint(hint);
        }
        if (w->isWindow()) {
            break;
        }
    }
    return {};
}

void HintHook::SetCurrentHint(const QString& hint) {
    if (hint != current_) {
        current_ = hint;
        emit hintChanged(current_);
    }
}

void HintHook::Highlighted(QAction* action) {
    SetCurrentHint(action == nullptr || action->isSeparator() ? QString()
                                                              : LongHint(HintOf(action)));
}

void HintHook::Follow(QWidget* widget, const QPoint& localPosition) {
    if (auto* menu = qobject_cast<QMenu*>(widget)) {
        Highlighted(menu->actionAt(localPosition));
        return;
    }
    if (auto* bar = qobject_cast<QMenuBar*>(widget)) {
        QAction* action = bar->actionAt(localPosition);
        SetCurrentHint(action != nullptr ? LongHint(HintOf(action)) : HintAt(bar));
        return;
    }
    SetCurrentHint(HintAt(widget));
}

void HintHook::FollowRestingPointer() {
    // Open menus report their highlighted item themselves; a window under a
    // modal one takes no pointer.
    if (!pointerSeen_ || QApplication::activePopupWidget() != nullptr) {
        return;
    }
    const QPoint global = QCursor::pos();
    QWidget* widget = QApplication::widgetAt(global);
    if (widget == nullptr) {
        return;
    }
    const QWidget* modal = QApplication::activeModalWidget();
    if (modal != nullptr && widget->window() != modal) {
        return;
    }
    Follow(widget, widget->mapFromGlobal(global));
}

bool HintHook::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseMove:
            // Every move passes the application's filters, also over widgets
            // without mouse tracking; the receiver is the widget under the pointer.
            // Qt also passes copies on to the containers; only the first counts.
            if (watched->isWidgetType()) {
                pointerSeen_ = true;
                auto* widget = static_cast<QWidget*>(watched);
                const QPoint position = static_cast<QMouseEvent*>(event)->position().toPoint();
                if (QWidget* child = widget->childAt(position); child == nullptr) {
                    Follow(widget, position);
                }
            }
            break;
        case QEvent::Show:
            // Keyboard navigation in menus: follow the highlighted item.
            if (watched->property(kWatchedProperty).toBool()) {
                break;
            }
            if (auto* menu = qobject_cast<QMenu*>(watched)) {
                menu->setProperty(kWatchedProperty, true);
                connect(menu, &QMenu::hovered, this, &HintHook::Highlighted);
            } else if (auto* bar = qobject_cast<QMenuBar*>(watched)) {
                bar->setProperty(kWatchedProperty, true);
                connect(bar, &QMenuBar::hovered, this, &HintHook::Highlighted);
            }
            break;
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace velkor

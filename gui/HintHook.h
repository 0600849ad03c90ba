#pragma once

#include <QObject>
#include <QString>

class QAction;
class QWidget;

namespace velkor {

// The application's current hint and the one hook told about its changes.
//
// Hints are kept on widgets and menu items (SetHint). The current hint follows
// the pointer: the hint of the control under it, or the nearest hint found
// going outwards through its containers, empty if there is none; while a menu
// is open, the hint of its highlighted item. It is taken again whenever the
// pointer moves and at every idle moment, so a window closing above a resting
// pointer leaves no stale hint; before the pointer first moves over a window
// whatever the status bar shows first stays.
class HintHook : public QObject {
    Q_OBJECT

  public:
    // Watches the whole application while it lives.
    explicit HintHook(QObject* parent = nullptr);
    ~HintHook() override;

    // The hint of a widget is its accessible description too.
    static void SetHint(QObject* target, const QString& hint);
    // The hint of the object itself, "" if none.
    static QString HintOf(const QObject* target);
    // The nearest hint from a widget outwards through its containers; of a
    // hint with "|", the part after it.
    static QString HintAt(const QWidget* widget);

    QString CurrentHint() const { return current_; }
    // Emits hintChanged only when the text differs from the current one.
    void SetCurrentHint(const QString& hint);

  signals:
    void hintChanged(const QString& hint);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Follow(QWidget* widget, const QPoint& localPosition);
    void Highlighted(QAction* action);
    void FollowRestingPointer();

    QString current_;
    bool pointerSeen_ = false;
};

}  // namespace velkor

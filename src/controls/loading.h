#pragma once

class QWidget;

// While a window builds itself, its controls only store the values they are given and
// raise no change events. A window marks the span with a guard in its constructor:
//
//   TParamsForm::TParamsForm(QWidget *owner) : QWidget(owner)
//   {
//       vokrin::controls::WindowBuildGuard building(this);
//       ... create controls, set ranges and initial values ...
//   }   // from here on every value change raises its event
//
// A control is "being built" while it or any of its ancestors is marked, so the mark
// also covers controls created before they were given their final parent.
namespace vokrin::controls {

class WindowBuildGuard
{
public:
    explicit WindowBuildGuard(QWidget *window);
    ~WindowBuildGuard();
    WindowBuildGuard(const WindowBuildGuard &) = delete;
    WindowBuildGuard &operator=(const WindowBuildGuard &) = delete;

private:
    QWidget *m_window;
    bool m_wasBuilding;
};

// Marks or unmarks `widget` by hand (the guard above is the usual way).
void setBuilding(QWidget *widget, bool building);
// True while `widget` or one of its ancestors is marked.
bool isBeingBuilt(const QWidget *widget);

} // namespace vokrin::controls

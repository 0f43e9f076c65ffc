#pragma once

#include <functional>
#include <string>

namespace platform {

// What every control on a form has: a name, a rectangle in the form's pixels, a place in
// the tab order, visibility and a tooltip. The view that draws the control registers one
// observer and re-reads the control whenever it is told something visible changed.
class Control {
  public:
    explicit Control(std::string name);
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& Name() const { return m_name; }

    int Left() const { return m_left; }
    int Top() const { return m_top; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    void Move(int left, int top, int width, int height);
    virtual void SetWidth(int width);
    virtual void SetHeight(int height);

    int TabIndex() const { return m_tabIndex; }
    void SetTabIndex(int tabIndex) { m_tabIndex = tabIndex; }
    bool Visible() const { return m_visible; }
    void SetVisible(bool visible);
    const std::string& ToolTipText() const { return m_toolTipText; }
    void SetToolTipText(std::string text);

    void SetObserver(std::function<void()> observer) { m_observer = std::move(observer); }

  protected:
    // Called after the size changed, before the view hears of it.
    virtual void Resized() {}
    void Notify() const;

  private:
    std::string m_name;
    int m_left = 0;
    int m_top = 0;
    int m_width = 0;
    int m_height = 0;
    int m_tabIndex = 0;
    bool m_visible = true;
    std::string m_toolTipText;
    std::function<void()> m_observer;
};

}  // namespace platform

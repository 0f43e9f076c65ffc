#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace platform {

// One entry of a form's menu tree: a top-level menu, an item, or a separator (caption "-").
// The caption marks its access key with "&"; the shortcut is "Ctrl+X", "F1" or "".
class MenuItem {
  public:
    MenuItem(std::string name, std::string caption, std::string shortcut = "", int index = -1);
    MenuItem(const MenuItem&) = delete;
    MenuItem& operator=(const MenuItem&) = delete;

    const std::string& Name() const { return m_name; }
    // The place in its control array, or -1 for an item of its own.
    int Index() const { return m_index; }
    const std::string& Shortcut() const { return m_shortcut; }
    bool IsSeparator() const { return m_caption == "-"; }

    const std::string& Caption() const { return m_caption; }
    void SetCaption(std::string caption);
    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool enabled);
    bool Checked() const { return m_checked; }
    void SetChecked(bool checked);
    bool Visible() const { return m_visible; }
    void SetVisible(bool visible);

    // Sub-menu items in menu order; the item does not own them.
    void Add(MenuItem& child) { m_children.push_back(&child); }
    const std::vector<MenuItem*>& Children() const { return m_children; }

    std::function<void()> Click;

    void SetObserver(std::function<void()> observer) { m_observer = std::move(observer); }

  private:
    void Notify() const;

    std::string m_name;
    std::string m_caption;
    std::string m_shortcut;
    int m_index;
    bool m_enabled = true;
    bool m_checked = false;
    bool m_visible = true;
    std::vector<MenuItem*> m_children;
    std::function<void()> m_observer;
};

// A control array of menu items: items 0..n-1 share one name and one click handler, which
// receives the Index of the item clicked.
class MenuArray {
  public:
    explicit MenuArray(std::string name) : m_name(std::move(name)) {}
    MenuArray(const MenuArray&) = delete;
    MenuArray& operator=(const MenuArray&) = delete;

    // Appends the item with the next Index.
    MenuItem& Add(std::string caption, std::string shortcut = "");
    // Throws std::out_of_range for an Index that was never added.
    MenuItem& operator[](int index);
    int Count() const { return static_cast<int>(m_items.size()); }
    const std::string& Name() const { return m_name; }

    std::function<void(int Index)> Click;

  private:
    std::string m_name;
    std::deque<MenuItem> m_items;  // a deque keeps references stable as items are added
};

}  // namespace platform

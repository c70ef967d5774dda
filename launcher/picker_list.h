// The picker list cmbFileName: one item per discovered CAD instance, showing its
// drawing name and carrying its table index as the item's data word. Its selection is
// the launcher's notion of the selected instance.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "launcher/launcher_state.h"

namespace vorta {

class PickerList {
  public:
    virtual ~PickerList() = default;
    virtual void Clear() = 0;
    // Appends an item and returns its index.
    virtual int AddItem(const std::wstring& text) = 0;
    virtual void SetItemData(int index, std::int32_t data) = 0;
    virtual std::int32_t ItemData(int index) const = 0;
    virtual int ItemCount() const = 0;
    // -1 when no item is selected.
    virtual int ListIndex() const = 0;
    virtual void SetListIndex(int index) = 0;
};

// Whoever owns cmbFileName. The console window is such an owner: loading it runs its own
// CAD search and, when that selected an instance, its Get.
class PickerHost {
  public:
    virtual ~PickerHost() = default;
    // Creates and loads the list's owner if that has not happened yet. Returns what the
    // load's CAD search took of the system, for a run right after it to take over;
    // nothing when no search ran.
    virtual std::optional<DiscoverySnapshots> LoadOwner() { return std::nullopt; }
    virtual PickerList& cmbFileName() = 0;
};

// A plain list with item data; the same behaviour without any window.
class PlainPickerList final : public PickerList {
  public:
    void Clear() override {
        items_.clear();
        index_ = -1;
    }
    int AddItem(const std::wstring& text) override {
        items_.push_back({text, 0});
        return static_cast<int>(items_.size()) - 1;
    }
    void SetItemData(int index, std::int32_t data) override { items_.at(index).data = data; }
    std::int32_t ItemData(int index) const override { return items_.at(index).data; }
    int ItemCount() const override { return static_cast<int>(items_.size()); }
    int ListIndex() const override { return index_; }
    void SetListIndex(int index) override { index_ = index; }
    const std::wstring& ItemText(int index) const { return items_.at(index).text; }

  private:
    struct Item {
        std::wstring text;
        std::int32_t data;
    };
    std::vector<Item> items_;
    int index_ = -1;
};

class PlainPickerHost final : public PickerHost {
  public:
    PickerList& cmbFileName() override { return list_; }
    PlainPickerList& list() { return list_; }

  private:
    PlainPickerList list_;
};

}  // namespace vorta

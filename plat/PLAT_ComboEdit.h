#pragma once
// The editable form of the combo box (a drop-down list with free typing), its
// edit text, item data, and the selection by the start of an entry's text.
#include <cstdint>
#include <string>

#include "plat/PLAT_List.h"

namespace plat {

// Notification code of an editable combo box whose text the user changed.
enum : unsigned { kCbnEditChange = 0x0600 };

// Allows free typing in the combo box; every change the user types reaches the
// parent's OnCommand with kCbnEditChange. False when it has no window.
bool SetComboEditable(ComboBox_t& combo);

// The edit text (the selected entry's text, or what was typed).
std::string GetComboText(const ComboBox_t& combo);
// Sets the edit text without selecting an entry and without notifying.
void SetComboText(ComboBox_t& combo, const std::string& text);
// Types the text as the user would (kCbnEditChange reaches the parent).
void TypeComboText(ComboBox_t& combo, const std::string& text);

// Selects the first entry whose text starts with 'prefix' (any case) and
// returns its index; -1 (nothing changed) when none does.
int SelectComboString(ComboBox_t& combo, const std::string& prefix);

bool SetComboItemData(ComboBox_t& combo, int index, std::uintptr_t data);
std::uintptr_t GetComboItemData(const ComboBox_t& combo, int index);

}  // namespace plat

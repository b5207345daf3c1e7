#pragma once

// Stand-in for the visual-style services the themed button draws with.
// Filled in with the themed button; see controls/BitBtnXP.
namespace dw {
} // namespace dw

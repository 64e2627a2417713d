// The field's walls. The grid's cells are 10 x 10 pixels, their centres on
// the columns field_left to field_right; the border's tiles stand just
// outside, centred on left_border and right_border.
#pragma once

constexpr int field_left = 175;
constexpr int field_right = 465;
constexpr int left_border = 165;
constexpr int right_border = 475;

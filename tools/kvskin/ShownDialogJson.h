// What a shown skinned dialog is, as kvskin show --json prints it: the
// window, its child controls in Z order and the drawn items' states.
#pragma once

#include "skin/CommonDlg.h"

#include <nlohmann/json.hpp>

// {"window":{"rect","client","layered","exStyle","title"},
//  "controls":[{"id","class","rect","style","text","tooltip"}],
//  "items":[{"index","id","state"}]}: the window rectangle on the screen,
// control rectangles in the dialog's client coordinates, tooltips from the
// dialog's tooltip control; items only for a windowless dialog's drawn items.
nlohmann::ordered_json DescribeShownDialog(CKvCommonDlg& dlg);

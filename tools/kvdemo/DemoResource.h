#pragma once

// The demo page's template: the skin gives it its size and controls.
#define IDD_DEMO_PAGE 100

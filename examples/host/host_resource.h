#pragma once

#define IDD_HOST 100

#pragma once
// The pages of the VXC5480 panel are plain panel pages.

#include "panel_common/panel_page.h"

using TZ410Page = CPanelPage;

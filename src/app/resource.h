// Resource ids of the runtime executable.
#pragma once

#define IDI_LUMO 107
#define IDR_PLAYER 135
#define IDD_PASSWORD 150
#define IDC_PASSWORD_EDIT 1000

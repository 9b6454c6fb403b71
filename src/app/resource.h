// Resource ids of the runtime executable.
#pragma once

#define IDI_LUMO 107
#define IDD_PASSWORD 150
#define IDC_PASSWORD_EDIT 1000

#!/usr/bin/env python3
"""Checks a built Windows program: `imports OBJDUMP EXE` fails unless every imported DLL is
one of Windows' own; `marker EXE` fails if the image holds the 8 record-marker bytes in a row
(the runtime finds its record at the first occurrence in its own file)."""
import subprocess
import sys

SYSTEM_DLLS = {
    'advapi32.dll', 'bcrypt.dll', 'comctl32.dll', 'comdlg32.dll', 'crypt32.dll', 'ddraw.dll',
    'gdi32.dll', 'imm32.dll', 'kernel32.dll', 'msimg32.dll', 'msvcrt.dll', 'ole32.dll',
    'oleaut32.dll', 'shell32.dll', 'shlwapi.dll', 'urlmon.dll', 'user32.dll', 'uxtheme.dll',
    'version.dll', 'winmm.dll', 'winspool.drv', 'ws2_32.dll',
}
MARKER = bytes([0x14, 0x09, 0x13, 0x49, 0x49, 0x13, 0x09, 0x14])


def imports(objdump, exe):
    out = subprocess.run([objdump, '-p', exe], check=True, capture_output=True, text=True).stdout
    dlls = {line.split('DLL Name:')[1].strip().lower() for line in out.splitlines() if 'DLL Name:' in line}
    foreign = sorted(dlls - SYSTEM_DLLS)
    print('imports:', ', '.join(sorted(dlls)))
    if foreign:
        print('not a Windows system DLL:', ', '.join(foreign))
        return 1
    return 0


def marker(exe):
    data = open(exe, 'rb').read()
    at = data.find(MARKER)
    if at >= 0:
        print(f'the record marker stands at offset {at}')
        return 1
    print(f'no marker in {len(data)} bytes')
    return 0


if __name__ == '__main__':
    if sys.argv[1] == 'imports':
        sys.exit(imports(sys.argv[2], sys.argv[3]))
    sys.exit(marker(sys.argv[2]))

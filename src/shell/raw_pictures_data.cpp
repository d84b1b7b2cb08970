// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The raw pictures' pack (see stored_picture.h), taken into the program's
// read-only data as the build made it.
asm(".section .rodata\n"
    ".balign 16\n"
    ".globl vexaRawPictures\n"
    ".hidden vexaRawPictures\n"
    "vexaRawPictures:\n"
    ".incbin \"" VEXA_RAW_PICTURES_PACK "\"\n"
    ".previous\n");

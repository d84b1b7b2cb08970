# SPDX-FileCopyrightText: 2026 The Vexa helper developers
# SPDX-License-Identifier: GPL-3.0-or-later

# Refreshes the .ts files in TS_DIR from the sources listed in SOURCES (one a
# line). The update_translations target and the translations test both run
# it, so they agree. No line numbers: edits elsewhere leave the files alone.
foreach(var LUPDATE SOURCES TS_DIR)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "${var} not set")
    endif()
endforeach()
execute_process(
    COMMAND ${LUPDATE} @${SOURCES} -locations none -no-obsolete -source-language zh_CN -silent
            -ts ${TS_DIR}/vexa-helper_en.ts ${TS_DIR}/vexa-helper_zh_TW.ts
    RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "lupdate failed: ${status}")
endif()

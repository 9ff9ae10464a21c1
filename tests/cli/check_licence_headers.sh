#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Every source file of the program carries its licence identifier.
#   check_licence_headers.sh SOURCE_DIR
cd "$1" || exit 2
missing=$(grep -L "SPDX-License-Identifier: GPL-3.0-or-later" \
    $(find src tests bench fuzz tools -name '*.cpp' -o -name '*.h') CMakeLists.txt scripts/*)
if [[ -n "$missing" ]]; then
    echo "Without a licence identifier:"
    echo "$missing"
    exit 1
fi
echo "every source file carries GPL-3.0-or-later"

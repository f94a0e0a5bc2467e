#!/usr/bin/env bash
# Re-reads every tr() and QCoreApplication::translate() text of src/ into the English
# translation, keeping the translations already made. New texts come in marked "unfinished";
# translate them (Qt Linguist, or by hand in the .ts) before committing: the test suite refuses
# an unfinished or empty translation.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
lupdate=${LUPDATE:-}
if [ -z "$lupdate" ]; then
    for candidate in /usr/lib/qt6/bin/lupdate "$(command -v lupdate6 || true)" "$(command -v lupdate || true)"; do
        if [ -n "$candidate" ] && [ -x "$candidate" ]; then
            lupdate=$candidate
            break
        fi
    done
fi
if [ -z "$lupdate" ]; then
    echo "lupdate not found: install qt6-l10n-tools" >&2
    exit 1
fi
cd "$here"
# Texts no longer in the code are dropped; locations are kept relative so the file does not
# change with the checkout's folder.
"$lupdate" -no-obsolete -locations relative -source-language hr_HR -target-language en_US \
    -extensions cpp,h src -ts resources/translations/tellwise_en.ts "$@"
# Croatian is the source language, but a counted text ("%n osoba") needs its three Croatian plural
# forms: the Croatian file holds those texts only. Fill each new one's forms for 1, 2 and 5.
"$lupdate" -no-obsolete -pluralonly -locations relative -source-language hr_HR -target-language hr_HR \
    -extensions cpp,h src -ts resources/translations/tellwise_hr.ts "$@"

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Texts of the core (refusals of a task, reasons of a failed run) in the interface's language. The
// core writes them in Russian as std::string; the windows show them through UiText.

#include <QString>
#include <string>

// The core's message in the installed language: looked up whole in the context "Core"; a message that
// names a field ("Параметр «…» равен нулю: …") or a solver fault with its stage is translated in its
// parts. A message the translation does not know is shown as it is.
QString UiText(const std::string &message);

// The system's own boxes and dialogs, behind the replaceable dialog service.
#pragma once

#include <string>

#include "toolkit/Dialogs.h"

// The service of real message boxes, file dialogs and the input box.
TDialogService& SystemDialogService();

// The input box as a modal form of ours; true on OK, with Value the text as typed.
bool ShowInputBox(const std::string& Caption, const std::string& Prompt, std::string& Value);

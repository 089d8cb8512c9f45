// The template selection window offered on New.
#pragma once

#include <string>
#include <vector>

#include "fileio/Templates.h"

class QWidget;

namespace sw {

class Host;

// The chosen template's path, or "" to start without one. Deleting a
// template here rebuilds `list` from `directory`.
std::string ChooseTemplate(QWidget* parent, std::vector<TemplateEntry>& list,
                           const std::string& directory, Host& host);

}  // namespace sw

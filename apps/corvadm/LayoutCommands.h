#pragma once
// corvadm's keyboard layout commands:
//   layout check FILE   every problem of a layout file (exit 1 when there are any)
//   layout show FILE    its keys, fingers and home row
// FILE is a path, or a name in the installation's keyboards folder.

#include <string>
#include <vector>

int LayoutCommand(const std::vector<std::string>& args);

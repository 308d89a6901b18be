// The toolbar's pictograms, drawn in code: one small 16 x 15 picture per command.
#pragma once

#include <QIcon>

namespace vantrel {

QIcon ToolbarIcon(int commandId);

}  // namespace vantrel

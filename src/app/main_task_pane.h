#pragma once
// The main window's task pane content: its four bars and their items, in order.
#include "controls/task_pane/task_pane.h"

namespace ardmoor {

// Adds the bars and items to an empty pane and gives them their looks: the first bar stands out,
// the entry's name heads the Details bar, the publisher and phone lines are facts, not commands.
void BuildMainTaskPane(TaskPane& pane);

}  // namespace ardmoor

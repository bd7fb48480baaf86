// ReminderPopup: the small topmost window that warns of a coming task and
// counts its seconds down; for a ring that has started it is where the ring
// is stopped. One popup at a time, showing the latest task.
#pragma once

namespace ql {

struct ScheduledTask;

// Opens the popup for `task` (or shows that task in the popup already open).
void openReminder(const ScheduledTask& task);
// The task's time has come. When the popup shows that task (the same row
// and due time): a ring turns its
// button into "关闭", which stops the ring; anything else closes it. A popup
// showing another task stays as it is.
void reminderTaskFired(const ScheduledTask& task);

}  // namespace ql

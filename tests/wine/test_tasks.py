"""Scheduled tasks under Wine: the editor (its checks, what it stores, the
modify mode), the task page's rows, tasks that come due (the reminder popup
with its countdown, the ring and its stop button, balloons), the schedule
rebuilt from 字段3 after a restart, and delete. The program runs with
QL_RECORD_SYSTEM_CALLS (harness.Program), so the tasks' system calls are
recorded with their times, and no shutdown or shell call is made.

Editing goes through the X server (real clicks and keys), as a user would."""
import datetime
import os
import subprocess
import time
import unittest

import flashdb
import harness
from controlwin import PAGE_BUTTONS, pointer, real_click, screen_point, shot, wait_until

LIST_EMPTY_POINT = (150, 450)
FIRST_ROW = (52, 177)
STATUS_LABEL = (15, 623, 297, 648)  # left, top, right, bottom in the 312 x 653 window
# The editor (288 x 188), client points.
ACTION_BOX = (119, 48)
REPEAT_BOX = (239, 48)
PICKER_FIRST_FIELD = (86, 77)
OK_BUTTON = (175, 171)
CANCEL_BUTTON = (247, 171)
# The reminder popup (320 x 170): its button.
POPUP_BUTTON = (274, 151)

# Never early; late by the timer's phase and whatever else keeps the GUI
# thread busy on a loaded machine (bench_task_ticks.py measures it).
LATE = 5.0
WS_DISABLED = 0x08000000
RING, SHUTDOWN, OPEN_PAGE, RUN_PROGRAM, BALLOON = 0, 1, 5, 6, 7
ONCE, DAILY, MONTHLY, HOURLY = 0, 1, 2, 10


def section(name, action, repeat, when, advance="", parameter=""):
    return ("[%s]\r\n执行类型=%d\r\n执行次数=%d\r\n执行时间=%s\r\n执行提示=%s\r\n备注=%s\r\n"
            % (name, action, repeat, when, advance, parameter))


def keys(*names):
    subprocess.run(["xdotool", "key", "--delay", "80"] + list(names), check=True, timeout=30)
    time.sleep(0.4)


def seconds_of_day(moment):
    return moment.hour * 3600 + moment.minute * 60 + moment.second


def clear_of_the_hour_end(seconds):
    """The picker's minute field wraps without carrying into the hour, and the
    tests reckon due times within one day: a test whose times would cross the
    hour waits for the next hour to begin instead."""
    now = datetime.datetime.now()
    left = 3600 - (now.minute * 60 + now.second + now.microsecond / 1e6)
    if left < seconds:
        time.sleep(left + 1)


class ShippedProgramTest(unittest.TestCase):
    def test_only_the_test_build_can_record_instead_of_shutting_down(self):
        # The shipped program reads no setting that could turn its actions off.
        with open(os.path.join(harness.APP_DIR, "qinglan.exe"), "rb") as f:
            self.assertNotIn(b"QL_RECORD_SYSTEM_CALLS", f.read())
        with open(harness.RECORDING_PROGRAM, "rb") as f:
            self.assertIn(b"QL_RECORD_SYSTEM_CALLS", f.read())


class TaskTest(harness.ProgramTest):

    def start(self, tasks=None):
        self.make_data_file(config3=tasks)
        self.start_program()
        self.window = self.main_window()
        # Up at the top of the screen, so that the status label shows too.
        self.driver.move(self.window, 644, 0, 312, 653)
        self.window = self.main_window()
        time.sleep(1.0)
        real_click(*screen_point(self.window, PAGE_BUTTONS[3]))
        time.sleep(1.0)

    def field3(self):
        return (flashdb.config_records(self.data_file)[0][3] or b"").decode("gbk")

    def sections(self):
        """字段3 as [(section, [(key, value)])], in stored order."""
        found = []
        for line in self.field3().split("\r\n"):
            if line.startswith("[") and line.endswith("]"):
                found.append((line[1:-1], []))
            elif "=" in line and found:
                found[-1][1].append(tuple(line.split("=", 1)))
        return found

    def calls(self, containing=""):
        return [(when, call) for when, call in self.program.recorded_calls() if containing in call]

    # ---- The editor -------------------------------------------------------

    def editor(self, title="添加计划任务!"):
        window = self.driver.find(cls=harness.WINDOW_CLASS, title=title,
                                  process=self.program.windows_exe, visible=True)[0]
        time.sleep(0.6)
        return window

    def controls(self, editor):
        """The editor's standard controls by class, in creation order."""
        found = {}
        for child in self.driver.children(editor):
            found.setdefault(child.cls, []).append(child)
        return found

    def click_in(self, window, point):
        real_click(*screen_point(window, point))
        time.sleep(0.4)

    def dropped_list(self):
        return [w for w in self.driver.windows(process=self.program.windows_exe)
                if w.cls == "ComboLBox" and w.visible]

    def choose(self, editor, box, index):
        """Opens a drop-down list with a click (a second one when the first
        only gave the editor back its focus) and moves to item `index` with
        the keys."""
        for _ in range(3):
            self.click_in(editor, box)
            if wait_until(self.dropped_list, timeout=1.5):
                break
        keys("Home", *(["Down"] * index), "Return")
        self.assertFalse(self.dropped_list())

    def set_text(self, edit, text):
        self.driver.run("settext", "0x%x" % edit.hwnd, text)

    def press_ok_expecting(self, editor, message):
        self.click_in(editor, OK_BUTTON)
        box = self.driver.box(title="信息", process=self.program.windows_exe)
        self.assertEqual(message, box.text)
        self.driver.press(box, 1)
        time.sleep(0.5)

    def step_picker(self, editor, field, key, times):
        """Puts the picker's field `field` (0 = the first) up or down with the keys."""
        self.click_in(editor, PICKER_FIRST_FIELD)
        keys(*(["Right"] * field), *([key] * times))

    # ---- Tests ---------------------------------------------------------------

    def test_editor_checks_stores_and_the_task_survives_a_restart(self):
        clear_of_the_hour_end(240)
        self.start()
        # A double-click beside the rows opens the editor to add a task.
        pointer(*screen_point(self.window, LIST_EMPTY_POINT))
        subprocess.run(["xdotool", "click", "--repeat", "2", "--delay", "80", "1"], check=True, timeout=30)
        editor = self.editor()
        self.assertEqual((288, 188), editor.rect[2:])
        self.assertEqual((self.window.rect[0] + 8, self.window.rect[1] + 300), editor.rect[:2])
        controls = self.controls(editor)
        parameter, advance = controls["Edit"]
        self.assertEqual("请输入铃声地址,选填!", parameter.title)
        shot(self, "tasks-editor")

        # Actions that need no parameter grey the box out; a ring enables it again.
        self.choose(editor, ACTION_BOX, SHUTDOWN)
        parameter = self.controls(editor)["Edit"][0]
        self.assertEqual("不需要此选项!", parameter.title)
        self.assertTrue(parameter.style & WS_DISABLED)
        shot(self, "tasks-editor-shutdown")
        self.choose(editor, ACTION_BOX, RING)
        parameter = self.controls(editor)["Edit"][0]
        self.assertFalse(parameter.style & WS_DISABLED)

        # Each check once, with its message; the editor stays open.
        self.choose(editor, ACTION_BOX, OPEN_PAGE)
        self.assertEqual("http://", self.controls(editor)["Edit"][0].title)
        self.set_text(parameter, "www.example.org")
        self.press_ok_expecting(editor, "欲打开网页地址不准确!")
        self.choose(editor, ACTION_BOX, RUN_PROGRAM)
        self.set_text(parameter, "C:\\no such program.exe")
        self.press_ok_expecting(editor, "欲打开文件地址不存在!")
        self.choose(editor, ACTION_BOX, BALLOON)
        self.set_text(parameter, "起来活动一下")
        self.step_picker(editor, 0, "Down", 1)  # a year ago
        self.press_ok_expecting(editor, "当前时间已过!")
        self.assertEqual("", self.field3())

        # A daily balloon two minutes ahead, 5 s of warning.
        self.choose(editor, REPEAT_BOX, DAILY)
        picker = self.controls(editor)["SysDateTimePick32"][0]
        self.assertRegex(picker.title, r"^\d\d时\d\d分\d\d秒$")
        self.step_picker(editor, 1, "Up", 2)
        self.set_text(advance, "5")
        self.click_in(editor, OK_BUTTON)
        self.assertTrue(self.driver.gone(editor, timeout=10))
        saved = self.sections()
        self.assertEqual(1, len(saved))
        name, entries = saved[0]
        self.assertRegex(name, r"^[0-9A-Z]{16}$")
        self.assertEqual(["执行类型", "执行次数", "执行时间", "执行提示", "备注"], [k for k, _ in entries])
        values = dict(entries)
        self.assertEqual(("7", "1", "5", "起来活动一下"),
                         (values["执行类型"], values["执行次数"], values["执行提示"], values["备注"]))
        stored = values["执行时间"]
        self.assertRegex(stored, r"^\d\d时\d\d分\d\d秒$")

        # Its row, and its countdown under the list once the row is clicked.
        self.click_in(self.window, FIRST_ROW)
        time.sleep(1.5)
        page = shot(self, "tasks-page-countdown")
        left, top = self.window.rect[:2]
        label = page.crop((left + STATUS_LABEL[0], top + STATUS_LABEL[1], left + STATUS_LABEL[2],
                           top + STATUS_LABEL[3]))
        self.assertTrue(any(sum(label.getpixel((x, y))) < 400 for x in range(label.width)
                            for y in range(label.height)), "no countdown under the list")

        # Modify mode shows the stored task; Esc leaves it unchanged.
        real_click(*screen_point(self.window, FIRST_ROW))
        subprocess.run(["xdotool", "click", "1"], check=True, timeout=30)
        editor = self.editor("修改计划任务!")
        controls = self.controls(editor)
        self.assertEqual(["气泡提示", "每天"], [box.title for box in controls["ComboBox"]])
        self.assertEqual(["起来活动一下", "5"], [edit.title for edit in controls["Edit"]])
        self.assertEqual(stored, controls["SysDateTimePick32"][0].title)
        shot(self, "tasks-editor-modify")
        keys("Escape")
        self.assertTrue(self.driver.gone(editor, timeout=10))

        # After a restart the task is scheduled again from 字段3 and fires on time.
        self.driver.command(self.window, harness.EXIT_COMMAND)
        self.assertEqual(0, self.program.wait_exit())
        self.program.kill()  # closes its log
        self.assertEqual(saved, self.sections())
        self.start_program()
        self.main_window()
        hour, minute, second = (int(stored[i:i + 2]) for i in (0, 3, 6))
        due = hour * 3600 + minute * 60 + second
        self.assertTrue(wait_until(lambda: self.calls("balloon("), timeout=180), "the task never fired")
        (when, call), = self.calls("balloon(")
        self.assertEqual("balloon(起来活动一下|计划任务提醒!|1|30000)", call)
        self.assertTrue(0 <= when - due < LATE, "due %d, fired %.3f" % (due, when))

    def test_ring_with_a_reminder_then_delete(self):
        clear_of_the_hour_end(180)
        now = datetime.datetime.now()
        self.start(section("RING0000RING0000", RING, DAILY,
                           (now + datetime.timedelta(seconds=150)).strftime("%H时%M分%S秒")))
        # The seeded task is loaded only by the deferred start-up work: add the
        # one that matters through the editor, which reloads the schedule now.
        self.driver.command(self.window, 3001)
        editor = self.editor()
        self.choose(editor, REPEAT_BOX, DAILY)
        self.step_picker(editor, 1, "Up", 1)
        self.set_text(self.controls(editor)["Edit"][1], "5")
        self.click_in(editor, OK_BUTTON)
        self.assertTrue(self.driver.gone(editor, timeout=10))
        ring = [entries for name, entries in self.sections() if name != "RING0000RING0000"][0]
        stored = dict(ring)["执行时间"]
        due = sum(int(stored[i:i + 2]) * unit for i, unit in ((0, 3600), (3, 60), (6, 1)))

        # The popup opens 5 s ahead and counts down.
        popup = self.driver.find(cls=harness.WINDOW_CLASS, title="计划任务!",
                                 process=self.program.windows_exe, visible=True, timeout=75)[0]
        opened = seconds_of_day(datetime.datetime.now())
        self.assertTrue(4 <= due - opened <= 6, "popup %d s ahead" % (due - opened))
        self.assertEqual(((1024 - 320) // 2, (768 - 170) // 2, 320, 170), popup.rect)
        shot(self, "tasks-reminder")

        # At the due second: the built-in ring, the balloon, the button turned "关闭".
        self.assertTrue(wait_until(lambda: self.calls("default ring x3"), timeout=15))
        (rang, _), = self.calls("default ring x3")
        self.assertTrue(0 <= rang - due < LATE, "due %d, rang %.3f" % (due, rang))
        self.assertEqual(1, len(self.calls("balloon(您的计划任务事件时间已到! |计划任务提醒!|1|30000)")))
        time.sleep(2.5)
        shot(self, "tasks-reminder-ringing")
        self.assertFalse(self.driver.gone(popup, timeout=1), "the ring's popup stays open")

        # "关闭" stops the ring and closes the popup.
        self.click_in(popup, POPUP_BUTTON)
        self.assertTrue(self.driver.gone(popup, timeout=10))
        stops = [call for _, call in self.calls() if call.startswith(("mciSendStringA(seek", "mciSendStringA(stop",
                                                                     "PlaySoundA(0x40"))]
        self.assertEqual(3, len(stops), stops)

        # Delete the ring task: its row is the second.
        self.click_in(self.window, (148, 177))
        self.driver.command(self.window, 3003)
        self.assertTrue(wait_until(lambda: [n for n, _ in self.sections()] == ["RING0000RING0000"]))

    def test_restart_schedules_every_repeat_kind_from_its_stored_text(self):
        clear_of_the_hour_end(90)
        now = datetime.datetime.now().replace(microsecond=0)
        at = lambda seconds: now + datetime.timedelta(seconds=seconds)
        clock = lambda moment: moment.strftime("%H时%M分%S秒")
        weekday = now.isoweekday()                 # Monday 1 .. Sunday 7
        today_kind, yesterday_kind = 2 + weekday, 2 + (weekday + 5) % 7 + 1
        tasks = (section("DAILY00000000001", BALLOON, DAILY, clock(at(45)), "", "daily")
                 + section("DAILYPAST0000002", BALLOON, DAILY, clock(at(-120)), "", "daily past")
                 + section("ONCEPAST00000003", BALLOON, ONCE, "2020年1月1日8时00分00秒", "", "once past")
                 + section("HOURLY0000000004", BALLOON, HOURLY, at(50).strftime("%M分%S秒"), "", "hourly")
                 + section("WEEKLY0000000005", BALLOON, today_kind, clock(at(55)), "", "weekly")
                 + section("WEEKLYOTHER00006", BALLOON, yesterday_kind, clock(at(55)), "", "weekly other")
                 + section("MONTHLY000000007", BALLOON, MONTHLY, at(58).strftime("%d日%H时%M分%S秒"), "",
                           "monthly")
                 + section("ONCE000000000008", BALLOON, ONCE, at(60).strftime("%Y年%m月%d日%H时%M分%S秒"),
                           "", "once"))
        self.start(tasks)
        shot(self, "tasks-page")
        self.assertTrue(wait_until(lambda: len(self.calls("balloon(")) >= 5, timeout=90))
        time.sleep(3)
        fired = {call.split("(")[1].split("|")[0]: when for when, call in self.calls("balloon(")}
        expected = {"daily": 45, "hourly": 50, "weekly": 55, "monthly": 58, "once": 60}
        self.assertEqual(set(expected), set(fired))
        for text, offset in expected.items():
            lateness = fired[text] - seconds_of_day(at(offset))
            self.assertTrue(0 <= lateness < LATE, "%s: %.3f s late" % (text, lateness))


if __name__ == "__main__":
    unittest.main()

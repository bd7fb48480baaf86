"""mkdb, the data-file tool, run under Wine through the Access driver stand-in;
its files are read directly."""
import os
import unittest

import flashdb
import harness
from harness import MKDB, run_wine, windows_path


class DataFileToolTest(harness.ProgramTest):

    def mkdb(self, *arguments):
        return run_wine([MKDB] + list(arguments) + [windows_path(self.data_file)],
                        cwd=self.folder)

    def write(self, relative, data):
        path = os.path.join(self.folder, relative)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)
        return path

    def catalogue(self):
        return flashdb.query(self.data_file,
                             "select 动画分类, 动画名称, 动画数据 from 动画表 order by rowid")

    def test_new_file_is_what_the_program_accepts(self):
        code, out, err = self.mkdb()
        self.assertEqual(0, code, out + err)
        self.assertEqual([(1, b"", b"", b"")], self.config_records())
        self.assertEqual([], self.catalogue())

        self.start_program()
        window = self.main_window()
        self.assertEqual((644, 180, 312, 653), window.rect)
        self.assert_no_message_box()
        self.driver.command(window, harness.EXIT_COMMAND)
        self.assertEqual(0, self.program.wait_exit())
        saved = flashdb.parse_config(flashdb.field1(self.data_file))
        self.assertEqual("644", saved["控制配置"]["左边"])

    def test_catalogue_comes_from_one_sub_folder_per_category(self):
        movie = bytes(range(256)) * 300  # binary, NUL bytes included
        self.write("movies/经典/小猫.swf", movie)
        self.write("movies/经典/It's.SWF", b"FWS\x08quote")
        self.write("movies/可爱/兔子.swf", b"CWS\x0a")
        self.write("movies/可爱/说明.txt", b"not a movie")
        self.write("movies/可爱/x.swfx", b"not a movie either")
        self.write("movies/根目录.swf", b"no category")
        os.makedirs(os.path.join(self.folder, "movies", "空"))
        code, out, err = self.mkdb("--movies", windows_path(os.path.join(self.folder, "movies")))
        self.assertEqual(0, code, out + err)
        entries = sorted(self.catalogue())
        expected = sorted([("可爱".encode("gbk"), "兔子".encode("gbk"), b"CWS\x0a"),
                           ("经典".encode("gbk"), "小猫".encode("gbk"), movie),
                           ("经典".encode("gbk"), b"It's", b"FWS\x08quote")])
        self.assertEqual(expected, entries)

    def test_missing_movie_folder_gives_an_empty_catalogue(self):
        code, out, err = self.mkdb("--movies", windows_path(os.path.join(self.folder, "none")))
        self.assertEqual(0, code, out + err)
        self.assertEqual([], self.catalogue())

    def test_configuration_seeds_are_stored_byte_for_byte(self):
        seeds = [b"[\xbf\xd8\xd6\xc6\xc5\xe4\xd6\xc3]\r\n\xd7\xf3\xb1\xdf=-20\r\n",
                 b"quotes ' and '' stay\r\n[\xff\x81",
                 b"no line end \xa1\xa1"]
        arguments = []
        for number, seed in enumerate(seeds, 1):
            arguments += ["--config%d" % number,
                          windows_path(self.write("seed%d.txt" % number, seed))]
        code, out, err = self.mkdb(*arguments)
        self.assertEqual(0, code, out + err)
        self.assertEqual([(1,) + tuple(seeds)], self.config_records())

    def test_existing_file_is_changed_only_when_forced(self):
        self.assertEqual(0, self.mkdb()[0])
        flashdb.execute(self.data_file, "update 配置表 set 字段1='mine' where 编号=1")
        with open(self.data_file, "rb") as f:
            before = f.read()

        code, _, err = self.mkdb()
        self.assertNotEqual(0, code)
        self.assertIn(b"--force", err)
        with open(self.data_file, "rb") as f:
            self.assertEqual(before, f.read())

        self.assertEqual(0, self.mkdb("--force")[0])
        self.assertEqual([(1, b"", b"", b"")], self.config_records())

    def test_failure_leaves_no_half_made_file(self):
        code, _, err = self.mkdb("--config1", windows_path(os.path.join(self.folder, "none.txt")))
        self.assertNotEqual(0, code)
        self.assertIn(b"none.txt", err)
        self.assertFalse(os.path.exists(self.data_file))


if __name__ == "__main__":
    unittest.main()

// Times the launcher's save with 1000 items: the text written out and stored
// in 配置表 through SQLite's ODBC driver, the way every launcher change saves.
//   store_bench [ROUNDS]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "store/config_table.h"
#include "store/config_text.h"
#include "store/database.h"

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;
  std::string path = "/tmp/store_bench_" + std::to_string(Clock::now().time_since_epoch().count()) + ".db";
  ql::Database db;
  if (!db.connect(std::string("DRIVER=") + SQLITE_ODBC_DRIVER + ";Database=" + path + ";") ||
      !db.execute("create table 配置表 (编号 integer, 字段1 text, 字段2 text, 字段3 text)") ||
      !db.insert("配置表", "编号,字段1,字段2,字段3", "1,'','',''")) {
    std::fprintf(stderr, "store_bench: cannot make %s\n", path.c_str());
    return 1;
  }
  ql::ConfigTable table(db);
  ql::ConfigText app, launcher, task;
  table.load(app, launcher, task);
  // Ten categories of a hundred items, with paths as long as real ones.
  for (int i = 0; i < 1000; ++i) {
    launcher.setValue("分类软件" + std::to_string(i / 100 + 1), "应用程序 " + std::to_string(i) + ".lnk",
                      "C:\\Users\\用户\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\应用程序 " +
                          std::to_string(i) + ".lnk");
  }
  std::vector<double> text, save;
  size_t bytes = 0;
  for (int i = 0; i < rounds; ++i) {
    Clock::time_point start = Clock::now();
    bytes = launcher.toText().size();
    text.push_back(msSince(start));
    start = Clock::now();
    if (!table.save(ql::ConfigField::Launcher, launcher)) {
      std::fprintf(stderr, "store_bench: the save failed\n");
      return 1;
    }
    save.push_back(msSince(start));
  }
  db.close();
  std::remove(path.c_str());
  std::printf("launcherConfig of 1000 items (%zu bytes): text alone %.2f ms, save (text and UPDATE) %.2f ms "
              "(medians of %d; the slowest save %.2f ms)\n",
              bytes, median(text), median(save), rounds, *std::max_element(save.begin(), save.end()));
  return 0;
}

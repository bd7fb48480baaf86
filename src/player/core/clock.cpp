#include "player/core/clock.h"

#include <chrono>
#include <cmath>
#include <ctime>

#ifdef _WIN32
#include <windows.h>
#endif

namespace player {

namespace {

class SystemClock final : public Clock {
 public:
  double utcMillis() override {
    using namespace std::chrono;
    return static_cast<double>(duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count());
  }

  double localOffsetMinutes(double utcMs) override {
    if (!std::isfinite(utcMs)) return 0;
#ifdef _WIN32
    // 1601-01-01 is where FILETIME counts from, in 100 ns steps.
    double ticks = (utcMs + 11644473600000.0) * 10000.0;
    if (ticks < 0 || ticks > 9.0e18) return currentBias();
    ULARGE_INTEGER u;
    u.QuadPart = static_cast<ULONGLONG>(ticks);
    FILETIME ft = {u.LowPart, u.HighPart};
    SYSTEMTIME utc, local;
    if (!FileTimeToSystemTime(&ft, &utc) || !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local))
      return currentBias();
    FILETIME lft;
    if (!SystemTimeToFileTime(&local, &lft)) return currentBias();
    ULARGE_INTEGER l;
    l.LowPart = lft.dwLowDateTime;
    l.HighPart = lft.dwHighDateTime;
    return std::round((static_cast<double>(l.QuadPart) - static_cast<double>(u.QuadPart)) / 600000000.0);
#else
    double seconds = std::floor(utcMs / 1000.0);
    if (seconds < -6.7e10 || seconds > 6.7e10) seconds = static_cast<double>(std::time(nullptr));
    time_t t = static_cast<time_t>(seconds);
    struct tm local;
    if (!localtime_r(&t, &local)) return 0;
    return static_cast<double>(local.tm_gmtoff) / 60.0;
#endif
  }

  double elapsedMillis() override {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start_).count();
  }

 private:
#ifdef _WIN32
  static double currentBias() {
    TIME_ZONE_INFORMATION tz;
    DWORD kind = GetTimeZoneInformation(&tz);
    LONG bias = tz.Bias + (kind == TIME_ZONE_ID_DAYLIGHT ? tz.DaylightBias : 0);
    return -static_cast<double>(bias);
  }
#endif
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

class FixedClock final : public Clock {
 public:
  // 2001-02-03 04:05:06 at UTC+5:45 is 2001-02-02 22:20:06 UTC.
  static constexpr double kStart = 981152406000.0;
  double utcMillis() override { return kStart + elapsed_; }
  double localOffsetMinutes(double) override { return 345; }
  double elapsedMillis() override { return std::floor(elapsed_); }
  void frameRan(double ms) override { elapsed_ += ms; }

 private:
  double elapsed_ = 0;
};

}  // namespace

std::unique_ptr<Clock> systemClock() { return std::make_unique<SystemClock>(); }
std::unique_ptr<Clock> fixedClock() { return std::make_unique<FixedClock>(); }

}  // namespace player

#include "platform/foundation/NSDateFormatter.h"

#include <unicode/locid.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>
#include <unicode/unistr.h>

#include <cmath>

namespace {

std::mutex gDefaultsMutex;
std::string gDefaultTimeZone = "Asia/Shanghai";
std::string gDefaultLocale = "zh_CN";

}  // namespace

struct NSDateFormatter::Impl {
  std::string pattern;
  std::string timeZone;
  std::string locale;
  std::unique_ptr<icu::SimpleDateFormat> format;  // rebuilt lazily after a change

  icu::SimpleDateFormat* get() {
    if (format) return format.get();
    UErrorCode status = U_ZERO_ERROR;
    auto f = std::make_unique<icu::SimpleDateFormat>(
        icu::UnicodeString::fromUTF8(pattern), icu::Locale::createFromName(locale.c_str()), status);
    if (U_FAILURE(status)) return nullptr;
    // ICU gives an unknown id the "Etc/Unknown" zone, which behaves as GMT.
    f->adoptTimeZone(icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(timeZone)));
    f->setLenient(false);
    format = std::move(f);
    return format.get();
  }
};

NSDateFormatter::NSDateFormatter() : impl_(std::make_unique<Impl>()) {
  impl_->timeZone = defaultTimeZone();
  impl_->locale = defaultLocale();
}

NSDateFormatter::~NSDateFormatter() = default;

void NSDateFormatter::setDateFormat(const std::string& tr35) {
  std::lock_guard<std::mutex> lock(mutex_);
  impl_->pattern = tr35;
  impl_->format.reset();
}

std::string NSDateFormatter::dateFormat() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return impl_->pattern;
}

void NSDateFormatter::setTimeZone(const std::string& id) {
  std::lock_guard<std::mutex> lock(mutex_);
  impl_->timeZone = id;
  impl_->format.reset();
}

std::string NSDateFormatter::timeZone() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return impl_->timeZone;
}

void NSDateFormatter::setLocale(const std::string& id) {
  std::lock_guard<std::mutex> lock(mutex_);
  impl_->locale = id;
  impl_->format.reset();
}

std::string NSDateFormatter::stringFromDate(double secondsSince1970) const {
  if (!std::isfinite(secondsSince1970)) return "";
  std::lock_guard<std::mutex> lock(mutex_);
  icu::SimpleDateFormat* f = impl_->get();
  if (!f) return "";
  icu::UnicodeString out;
  f->format(static_cast<UDate>(secondsSince1970 * 1000.0), out);
  std::string text;
  out.toUTF8String(text);
  return text;
}

std::optional<double> NSDateFormatter::dateFromString(const std::string& text) const {
  std::lock_guard<std::mutex> lock(mutex_);
  icu::SimpleDateFormat* f = impl_->get();
  if (!f) return std::nullopt;
  icu::UnicodeString input = icu::UnicodeString::fromUTF8(text);
  icu::ParsePosition pos(0);
  UDate date = f->parse(input, pos);
  if (pos.getErrorIndex() >= 0 || pos.getIndex() != input.length()) return std::nullopt;
  return date / 1000.0;
}

void NSDateFormatter::setDefaultTimeZone(const std::string& id) {
  std::lock_guard<std::mutex> lock(gDefaultsMutex);
  gDefaultTimeZone = id;
}
std::string NSDateFormatter::defaultTimeZone() {
  std::lock_guard<std::mutex> lock(gDefaultsMutex);
  return gDefaultTimeZone;
}
void NSDateFormatter::setDefaultLocale(const std::string& id) {
  std::lock_guard<std::mutex> lock(gDefaultsMutex);
  gDefaultLocale = id;
}
std::string NSDateFormatter::defaultLocale() {
  std::lock_guard<std::mutex> lock(gDefaultsMutex);
  return gDefaultLocale;
}

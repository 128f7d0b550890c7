#include "parley/stats/PLOStatPageView.h"

void PLOStatPageView::encode(Value& dict) const {
  if (!page.empty()) dict.set("pi", page);
  dict.set("du", Value(static_cast<unsigned>(duration)));
  if (!refer.empty()) dict.set("rf", refer == page ? std::string("-") : refer);
}

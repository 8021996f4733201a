#pragma once
// The rights and disclaimer notice the software-information dialog shows.
#include <string>

namespace tavora::app {

// Five paragraphs: our rights, the Ichimoku names and the price data, the Nikkei marks,
// no warranty, own use only.
std::string composeNoticeText();

}  // namespace tavora::app

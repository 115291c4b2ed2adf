#pragma once

#include "core/money.h"

#include <QString>

#include <cstdint>

// A whole number in Polish words, as invoices write amounts: "zero",
// "minus piętnaście", "tysiąc dwieście trzydzieści cztery", "dwa miliardy".
QString amountInWords(std::int32_t n);

// A gross amount as the invoice's words line writes it after "słownie : ":
// "sześćset zł. zero gr.". The amount is taken to whole grosze first, as it is
// printed, so the words always match the figure. The złote and the grosze are
// each written with the amount's sign ("minus dwanaście zł. minus trzydzieści
// cztery gr."); a part that is zero is "zero".
QString moneyInWords(Money amount);

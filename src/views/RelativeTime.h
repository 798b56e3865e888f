#pragma once

#include <QDateTime>
#include <QString>

namespace tender::views {

// How long before `now` the moment `then` was, in Russian, naming the day,
// week, month or year where Russian has a word for it: "сейчас",
// "5 минут назад", "2 часа назад", "вчера", "позавчера", "на прошлой неделе",
// "3 месяца назад", "в прошлом году". The largest whole calendar unit wins.
// A moment after `now` (a clock running ahead) reads "сейчас".
QString relativeTime(const QDateTime &then, const QDateTime &now);

} // namespace tender::views

// Every running text of the program: the hints, the puzzle statement, the epigraph, title and caption.
#pragma once

#include <array>
#include <string_view>

#include "content/house_table.hpp"

namespace quorbel {

// One line per house, in HouseIndex order; the text area wraps them.
inline constexpr std::array<std::string_view, kHouseCount> HintTexts{
    "Норвежецът живее в първата къща. Собственикът на жълтата къща пуши \"Dunhill\". "
    "Пушещият \"Marlboro\" живее до този, който гледа котка. Собственикът, който гледа кон, "
    "живее до пушещия \"Dunhill\". Норвежецът живее до синята къща. Пушещият \"Marlboro\" "
    "живее до пиещия вода.",

    "Датчанинът пие чай. Пушещият \"Marlboro\" живее до този, който гледа котка. "
    "Собственикът, който гледа кон, живее до пушещия \"Dunhill\". Норвежецът живее до синята "
    "къща. Пушещият \"Marlboro\" живее до пиещия вода.",

    "Англичанинът живее в червената къща. Собственикът, пушещ \"Pall Mall\", гледа птичка. "
    "Собственикът на средната къща пие мляко.",

    // The double full stop after "кафе" is part of the text.
    "Зелената къща е отляво на бялата. Собственикът на зелената къща пие кафе.. "
    "Немецът пуши \"Rothmans\".",

    "Шведът гледа куче. Зелената къща е отляво на бялата. Пушещият \"Winfield\" пие бира.",
};

// What the text area holds when the window opens: 31 lines, each ending in CR LF, the last too.
// Line 12 has two spaces after "набор от" and line 16 ends in a space; both are kept as written.
inline constexpr std::string_view StatementText =
    "На една улица има 5 къщи, като всяка:\r\n"
    "е боядисана с различен цвят;\r\n"
    "живее по един човек от различна националност.\r\n"
    "Всеки от обитателите е определен еднозначно по националност, цвят на къщата, предпочитана "
    "напитка, марка тютюн и вида домашен любимец.\r\n"
    "Дадени са 15 допълнителни указания, съдържащи връзки между споменатите параметри.\r\n"
    "Съберете допълнително информация за теста на Дорвалек. Главоблъсканицата може да се реши "
    "чрез метода на логическа индукция - групирайте всички твърдения по даден признак и "
    "започнете анализа от най-големия брой твърдения за даден признак. Целта, според Дорвалек, е "
    "човек непрекъснато да мисли.\r\n"
    "\r\n"
    "Да се реализира проект, отразяващ междупредметни връзки Логика и Информатика.\r\n"
    "Тема на проекта: Логика - тест на Дорвалек.\r\n"
    "Проектът да съдържа:\r\n"
    "набор от радиобутони с заглавия използвания цвят на отделна къща, като всеки от тях е "
    "оцветен с указания цвят;\r\n"
    "набор от  списъчни полета, като във всяко е въведен списъка със значения по отделен "
    "параметър.\r\n"
    "При събитие On-Click върху радиобутон или прозиволен ред от списъчно поле да се маркират "
    "едновременно всички асоциативно свързани параметри.\r\n"
    "В отделно текстово поле да се извеждат всички допълнителни указания, касаещи дадения "
    "параметър и асоциативно свързаните с него..\r\n"
    "\r\n"
    "Допълнитрелни указания: \r\n"
    "Англичанинът живее в червената къща.\r\n"
    "Шведът гледа куче.\r\n"
    "Датчанинът пие чай.\r\n"
    "Зелената къща е отляво на бялата.\r\n"
    "Норвежецът живее в първата къща.\r\n"
    "Собственикът на зелената къща пие кафе.\r\n"
    "Собственикът, пушещ \"Pall Mall\", гледа птичка.\r\n"
    "Собственикът на средната къща пие мляко.\r\n"
    "Собственикът на жълтата къща пуши \"Dunhill\".\r\n"
    "Пушещият \"Marlboro\" живее до този, който гледа котка.\r\n"
    "Собственикът, който гледа кон, живее до пушещия \"Dunhill\".\r\n"
    "Пушещият \"Winfield\" пие бира.\r\n"
    "Норвежецът живее до синята къща.\r\n"
    "Немецът пуши \"Rothmans\".\r\n"
    "Пушещият \"Marlboro\" живее до пиещия вода.\r\n";

// Held by the hidden second text box and never shown. Each line ends in a space and CR LF.
inline constexpr std::string_view EpigraphText =
    "Неприятното в това да си първият, направил нещо по \r\n"
    "правилния начин, е, че никой не оценява колко трудно е \r\n"
    "било. \r\n";

inline constexpr std::string_view TitleText = "Логика - тест на Дорвалек";

// The text area's name for assistive technology: it holds the statement, then a house's hints.
inline constexpr std::string_view TextAreaName = "Условие и указания";

// The publisher's web address, a space, then the caption proper.
inline constexpr std::string_view PublisherAddress = "www.quorbel.example";
inline constexpr std::string_view WindowCaption =
    "www.quorbel.example Философия - Логика - къща...";

}  // namespace quorbel

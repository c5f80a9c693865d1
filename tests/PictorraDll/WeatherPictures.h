// Pictures in the style of the skin's weather icons: gradients, curves, strokes and opacity groups.
#pragma once

#include <string>
#include <vector>

namespace pictorra_test {

inline std::string WeatherDoc(const std::string& body)
{
    return "<svg xmlns='http://www.w3.org/2000/svg' xmlns:xlink='http://www.w3.org/1999/xlink' width='64' "
           "height='64' viewBox='0 0 64 64'><defs>"
           "<radialGradient id='sun' cx='0.5' cy='0.5' r='0.5'><stop offset='0' stop-color='#ffe066'/>"
           "<stop offset='1' stop-color='#ff9900'/></radialGradient>"
           "<linearGradient id='cloud' x1='0' y1='0' x2='0' y2='1'><stop offset='0' stop-color='#ffffff'/>"
           "<stop offset='1' stop-color='#c8d2dc'/></linearGradient>"
           "<path id='cloudShape' d='M18 46 C10 46 6 40 8 34 C9 29 14 26 19 27 C21 20 27 16 34 17 "
           "C41 18 45 23 46 29 C52 29 57 33 57 39 C57 43 54 46 50 46 Z'/></defs>" +
           body + "</svg>";
}

inline std::vector<std::string> WeatherPictures()
{
    const std::string rays =
        "<g stroke='#ffaa00' stroke-width='3' stroke-linecap='round'>"
        "<line x1='32' y1='3' x2='32' y2='11'/><line x1='32' y1='53' x2='32' y2='61'/>"
        "<line x1='3' y1='32' x2='11' y2='32'/><line x1='53' y1='32' x2='61' y2='32'/>"
        "<line x1='11' y1='11' x2='17' y2='17'/><line x1='47' y1='47' x2='53' y2='53'/>"
        "<line x1='11' y1='53' x2='17' y2='47'/><line x1='47' y1='17' x2='53' y2='11'/></g>";
    const std::string cloud = "<use xlink:href='#cloudShape' fill='url(#cloud)' stroke='#8899aa' stroke-width='1.5'/>";
    return {
        WeatherDoc("<circle cx='32' cy='32' r='14' fill='url(#sun)'/>" + rays),
        WeatherDoc("<g transform='translate(-8 -8) scale(0.8)'><circle cx='32' cy='32' r='14' fill='url(#sun)'/>" +
                   rays + "</g>" + cloud),
        WeatherDoc(cloud + "<g stroke='#3377cc' stroke-width='2.5' stroke-linecap='round'>"
                           "<path d='M22 50 l-3 8 M32 50 l-3 8 M42 50 l-3 8'/></g>"),
        WeatherDoc("<g opacity='0.85'>" + cloud + "</g><polygon points='30,40 24,54 31,54 27,63 40,47 33,47 37,40' "
                   "fill='#ffcc00' stroke='#cc8800' stroke-linejoin='round'/>"),
        WeatherDoc("<path d='M40 10 A22 22 0 1 0 54 44 A18 18 0 1 1 40 10 Z' fill='#f4e3a1' stroke='#c9b25a'/>"
                   "<g fill='#ffffff' opacity='0.6'><circle cx='12' cy='12' r='1.5'/><circle cx='20' cy='6' r='1'/></g>"),
        WeatherDoc(cloud + "<g fill='#ffffff' stroke='#99aabb' stroke-width='0.8'>"
                           "<circle cx='22' cy='54' r='2.5'/><circle cx='32' cy='58' r='2.5'/><circle cx='42' cy='54' r='2.5'/></g>"),
    };
}

}  // namespace pictorra_test

#pragma once
// The page of a demo run: its timeline, one line an entry ("HH:MM  text"),
// with the pictures it names in place: an entry "HH:MM  picture NN: caption"
// shows pictures/NN.png under its caption. Pictures the timeline does not
// name follow at the end. Plain HTML that needs nothing from the network.

#include <string>
#include <vector>

namespace pictures {

// `pictures` are the numbers (NN) of the pictures there are, in order.
std::string demo_page(const std::vector<std::string>& timeline,
                      const std::vector<std::string>& pictures);

// Text made safe to stand in HTML, in an element or an attribute.
std::string html_escaped(const std::string& text);

}  // namespace pictures

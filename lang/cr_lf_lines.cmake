# cmake -DIN=text -DOUT=file -P cr_lf_lines.cmake
# Copies a text with its lines ended by CR LF, as language files keep them.
file(READ "${IN}" _text)
string(REPLACE "\r\n" "\n" _text "${_text}")
string(REPLACE "\n" "\r\n" _text "${_text}")
file(WRITE "${OUT}" "${_text}")

# cmake -DOUT=file.cpp -DDIR=hicolor-folder -DSIZES="16;22;..." -P EmbedPngs.cmake
# Writes VeltraneIconPngs(): each size's PNG bytes as an array.
set(text "#include \"icons/VeltraneIcon.h\"\n\nnamespace veltrane {\n\nnamespace {\n")
set(table "")
foreach(size IN LISTS SIZES)
  file(READ ${DIR}/${size}x${size}/apps/org.veltrane.Veltrane.png hex HEX)
  string(LENGTH "${hex}" length)
  math(EXPR bytes "${length} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," hex "${hex}")
  string(APPEND text "const unsigned char png${size}[] = {${hex}};\n")
  string(APPEND table "        {${size}, std::string_view(reinterpret_cast<const char*>(png${size}), ${bytes})},\n")
endforeach()
string(APPEND text "} // namespace\n\nconst std::vector<TIconPng>& VeltraneIconPngs() {\n"
       "    static const std::vector<TIconPng> pngs{\n${table}    };\n    return pngs;\n}\n\n"
       "} // namespace veltrane\n")
file(WRITE ${OUT}.tmp "${text}")
file(RENAME ${OUT}.tmp ${OUT})

# Libraries from Debian that engine folders use besides the C and C++
# libraries: libpng for field/Png.cpp (icons and pictures written as PNG).
find_package(PNG REQUIRED)
target_link_libraries(kivora_engine PUBLIC PNG::PNG)

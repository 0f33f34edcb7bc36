#!/usr/bin/env python3
"""Writes app/handmove.cur: the open hand shown while the clip rectangle can be
moved. 32 x 32 pixels, two colours, hot spot (16, 16) in the palm.

Usage: make_handmove_cursor.py OUTPUT.cur
"""
import struct
import sys

# '#' black, '.' white, ' ' transparent.
HAND = """\
                                
                                
                                
              ##                
          ## #..###             
         #..##..#..#            
         #..##..#..#            
          #..#..#..# ##         
          #..#..#..##..#        
           #..#..#..#..#        
           #..#..#..#..#        
       ##  #........#..#        
      #..# #...........#        
      #...##...........#        
       #...#...........#        
        #..............#        
        #.............#         
         #............#         
         #...........#          
          #..........#          
          #.........#           
           #........#           
           #........#           
           ##########           
                                
                                
                                
                                
                                
                                
                                
                                
"""

HOT_SPOT = (16, 16)


def rows():
    lines = HAND.split("\n")[:32]
    assert len(lines) == 32 and all(len(l) == 32 for l in lines), "the picture must be 32 x 32"
    return lines


def pack(bits):
    out = bytearray()
    for i in range(0, 32, 8):
        byte = 0
        for b in bits[i:i + 8]:
            byte = (byte << 1) | b
        out.append(byte)
    return bytes(out)


def main():
    lines = rows()
    xor_rows, and_rows = [], []
    for line in lines:
        xor_rows.append(pack([1 if c == "." else 0 for c in line]))
        and_rows.append(pack([1 if c == " " else 0 for c in line]))
    # DIB rows run bottom-up.
    image = b"".join(reversed(xor_rows)) + b"".join(reversed(and_rows))
    header = struct.pack("<IiiHHIIiiII", 40, 32, 64, 1, 1, 0, len(image), 0, 0, 2, 0)
    palette = struct.pack("<II", 0x000000, 0xFFFFFF)
    body = header + palette + image
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", 32, 32, 2, 0, HOT_SPOT[0], HOT_SPOT[1], len(body), 6 + 16)
    with open(sys.argv[1], "wb") as f:
        f.write(directory + entry + body)


if __name__ == "__main__":
    main()

^XA
^FX A 50 x 30 mm label at 203 dpi (8 dots a mm): the name, PIN, address, batch and number, date, and a QR code of the name.
^PW400^LL240
^FO16,16^A0N,34,30^FD{name}^FS
^FO16,60^A0N,24,22^FDPIN {pin}^FS
^FO16,90^A0N,20,18^FD{address}^FS
^FO16,118^A0N,20,18^FD{batch} #{seq:6}^FS
^FO16,146^A0N,20,18^FD{date}^FS
^FO290,130^BQN,2,3^FDQA,{name}^FS
^XZ

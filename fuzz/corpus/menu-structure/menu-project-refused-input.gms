<Warning_Info>
Note: This file was created and maintained by Quillamere 1.0.
Do not modify it or script project may not be opened again!
</Warning_Info>
<Product_Name>
Quillamere
</Product_Name>
<Product_Version>
1.0
</Product_Version>
<Applet_Parameters>
25#$@20#$@arial#$@11#$@FFFFFF#$@131313#$@92DDFA#$@15#$@arial#$@9#$@000000#$@9E9E9E#$@100#$@3#$@#$@#$@#$@600#$@40#$@1000#$@#$@#$@0#$@
</Applet_Parameters>
<Item_Parameters>
A#$@#$@#$@_self#$@#$@#$@0#$@#$@#$@-1#$@
</Item_Parameters>

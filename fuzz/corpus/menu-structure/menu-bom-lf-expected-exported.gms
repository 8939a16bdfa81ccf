<Generator_Name>
Quillamere
</Generator_Name>
<Generator_Version>
1.0
</Generator_Version>
<Product_Name>
General Menu Structure Description Format
</Product_Name>
<Product_Version>
1.0
</Product_Version>
<Structure_Description>
0#$@Über uns#$@ueber.html#$@_self#$@#$@
1#$@Team#$@team.html#$@_self#$@#$@
1#$@Geschichte#$@geschichte.html#$@_parent#$@#$@
</Structure_Description>
